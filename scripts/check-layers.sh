#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. The layers, lowest first:
#   platform <- vidmill          (the library sees only the platform)
#   platform <- base <- document <- media <- render <- commands <- ui <- app   (the program)
# The program reaches the library only through its public header, vidmill/vidmill.h.
# Inside media, pixels/ and sound/ are the bottom (they see neither each other's folders nor the rest
# of media), and the two back ends, library/ (the AVI library) and containers/ (FFmpeg), do not see
# each other; the front (clip source, movie writer, probe, playback) sees them all.
# Usage: check-layers.sh [ROOT]   (default: the repository this script is in)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

program_layers=(base document media render commands ui app)
library_private='^(avi|frame|reader|writer|imaging|compressors|watermark)/'

rank_of() {  # the program layer's position, or -1
  local i
  for i in "${!program_layers[@]}"; do [ "${program_layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}

media_parts='^(library|containers|pixels|sound)$'
media_part_of_file() {  # the media folder a file of composer/media is in: one of media_parts or front
  local part
  part=$(echo "$1" | sed -nE 's#^composer/media/(src|include/media)/([a-z_]+)/.*#\2#p')
  [[ "$part" =~ $media_parts ]] && echo "$part" || echo front
}
media_part_of_header() {  # the media folder an include names, or nothing when it is not a media header
  local rest=$1 part
  [ "${rest%%/*}" = media ] && rest=${rest#media/}
  part=${rest%%/*}
  if [ "$part" != "$rest" ] && [[ "$part" =~ $media_parts ]]; then echo "$part"
  elif [ "${1%%/*}" = media ]; then echo front
  fi
}

failures=0
complain() { echo "layer check: $1 includes \"$2\" ($3)"; failures=$((failures + 1)); }

check_media_part() {  # FILE HEADER, both of media: the order of media's own folders
  local own_part header_part
  own_part=$(media_part_of_file "$1")
  header_part=$(media_part_of_header "$2")
  [ -z "$header_part" ] || [ "$header_part" = "$own_part" ] && return 0
  case "$own_part" in
    pixels | sound) complain "$1" "$2" "media's $own_part sees no other folder of media" ;;
    library | containers)
      [[ "$header_part" =~ ^(library|containers)$ ]] && complain "$1" "$2" "media's two back ends do not see each other" ;;
  esac
  return 0
}

while IFS= read -r file; do
  case "$file" in
    platform/*) own=platform ;;
    vidmill/*) own=vidmill ;;
    composer/*) own=$(echo "$file" | cut -d/ -f2) ;;
    *) continue ;;
  esac
  own_rank=$(rank_of "$own")
  while IFS= read -r header; do
    prefix=${header%%/*}
    [ "$prefix" = "$header" ] && continue  # a private header of the file's own folder
    case "$own" in
      platform)
        if [ "$prefix" = vidmill ] || [ "$(rank_of "$prefix")" -ge 0 ]; then
          complain "$file" "$header" "the platform layer is the lowest"
        fi ;;
      vidmill)
        [ "$(rank_of "$prefix")" -lt 0 ] || complain "$file" "$header" "the library does not see the program" ;;
      *)
        if [ "$prefix" = vidmill ] && [ "$header" != vidmill/vidmill.h ]; then
          complain "$file" "$header" "the program sees only the library's public header"
        elif [[ "$header" =~ $library_private ]]; then
          complain "$file" "$header" "the program sees only the library's public header"
        else
          rank=$(rank_of "$prefix")
          [ "$rank" -le "$own_rank" ] || complain "$file" "$header" "$prefix is above $own"
          [ "$own" = media ] && check_media_part "$file" "$header"
        fi ;;
    esac
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$file")
done < <(git ls-files 'platform/*' 'vidmill/*' 'composer/*' | grep -E '\.(h|cpp)$')

if [ "$failures" -gt 0 ]; then
  echo "layer check: $failures include(s) reach upward"
  exit 1
fi
echo "layer check: every include stays within its layer or below"
