#!/usr/bin/env bash
# Pictures of the windows: starts the program on the demo project on a virtual X display, drives it
# through a few states (the demo opened, a clip selected, moved, dropped to the shelf, an overlay
# selected, a render in progress, the render cancelled, the help) and writes one PNG per state.
#   bash scripts/screenshots.sh [FOLDER]      (default: ./screenshots; needs Xvfb and a build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$(mkdir -p "${1:-$root/screenshots}" && cd "${1:-$root/screenshots}" && pwd)
command -v xvfb-run >/dev/null || { echo "screenshots.sh: needs xvfb-run (apt-get install xvfb)" >&2; exit 1; }
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
xvfb-run -a -s "-screen 0 1600x1000x24" "$build/bin/cinebrix-screenshots" "$work/demo/demo.CbMov" "$out"
echo "screenshots.sh: pictures in $out"
