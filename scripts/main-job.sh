#!/usr/bin/env bash
# The main job: installs what is needed, builds, registers the library, runs the headless work.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
BUILD_DIR=$root/build bash "$root/scripts/build.sh"
"$root/build/bin/regsvr" "$root/build/lib/libvidmill.so"
"$root/build/bin/vidmill" compressors
