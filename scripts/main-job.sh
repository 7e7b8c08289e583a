#!/usr/bin/env bash
# The main job: installs what is needed, builds, registers the library, runs the headless work.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
BUILD_DIR=$root/build bash "$root/scripts/build.sh"
"$root/build/bin/regsvr" "$root/build/lib/libvidmill.so"
"$root/build/bin/vidmill" compressors
# The demo: clips and a project made from patterns and tones (no outside files), rendered headless.
"$root/build/bin/cinebrix-demo" "$root/demo" >/dev/null
"$root/build/bin/cinebrix-composer" --render "$root/demo/demo.CbMov" "$root/demo/demo.avi" --compressor MSVC
echo "The demo movie is $root/demo/demo.avi"
