#!/usr/bin/env bash
# Pictures of the windows: starts the program on the demo project on a virtual X display, drives it
# through a few states (the demo opened, a clip selected, moved, dropped to the shelf, an overlay
# selected, a render in progress, the render cancelled, the help) and writes one PNG per state.
#   bash scripts/screenshots.sh [FOLDER]      (default: ./screenshots; needs Xvfb and a build)
# SCREEN sets the virtual screen (default 1600x1000x24); QT_SCALE_FACTOR passes through. A window
# manager (openbox) frames the windows when it is installed, as on a desktop.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$(mkdir -p "${1:-$root/screenshots}" && cd "${1:-$root/screenshots}" && pwd)
command -v Xvfb >/dev/null || { echo "screenshots.sh: needs Xvfb (apt-get install xvfb)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CB_REGISTRY=$work/registry.ini
"$build/bin/regsvr" "$build/lib/libvidmill.so" >/dev/null
"$build/bin/cinebrix-demo" "$work/demo" >/dev/null
# Settings of their own, without the start-up tip.
export CB_SETTINGS_DIR=$work/settings
mkdir -p "$CB_SETTINGS_DIR"
printf '[General]\nShowNewUserGuide=0\n' >"$CB_SETTINGS_DIR/cinebrix-composer.ini"
unset QT_QPA_PLATFORM
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 "${SCREEN:-1600x1000x24}" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb $manager 2>/dev/null; rm -rf "$work"' EXIT
manager=
export DISPLAY=$display
for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  manager=$!
  sleep 0.5
fi
"$build/bin/cinebrix-screenshots" "$work/demo/demo.CbMov" "$out"
echo "screenshots.sh: pictures in $out"
