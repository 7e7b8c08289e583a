#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. The layers, lowest first:
#   platform <- vidmill          (the library sees only the platform)
#   platform <- base <- document <- media <- render <- ui <- app   (the program)
# The program reaches the library only through its public header, vidmill/vidmill.h.
# Usage: check-layers.sh [ROOT]   (default: the repository this script is in)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

program_layers=(base document media render ui app)
library_private='^(avi|frame|reader|writer|imaging|compressors|watermark)/'

rank_of() {  # the program layer's position, or -1
  local i
  for i in "${!program_layers[@]}"; do [ "${program_layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}

failures=0
complain() { echo "layer check: $1 includes \"$2\" ($3)"; failures=$((failures + 1)); }

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
        fi ;;
    esac
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$file")
done < <(git ls-files 'platform/*' 'vidmill/*' 'composer/*' | grep -E '\.(h|cpp)$')

if [ "$failures" -gt 0 ]; then
  echo "layer check: $failures include(s) reach upward"
  exit 1
fi
echo "layer check: every include stays within its layer or below"
