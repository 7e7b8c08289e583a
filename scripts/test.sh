#!/usr/bin/env bash
# The test command: installs what is needed, builds from scratch, runs every test.
# Then the same tests of the engine and library under the address and undefined-behaviour sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/check-layers.sh"
bash "$root/scripts/check-format.sh"
export CB_REGISTRY=$root/build-test/registry.ini
rm -rf "$root/build-test" "$root/build-asan"
BUILD_DIR=$root/build-test bash "$root/scripts/build.sh" -DCB_WERROR=ON
(cd "$root/build-test" && ctest --output-on-failure -j 2 --timeout 600)
if [ "${CB_SKIP_SANITIZE:-0}" != 1 ]; then
  export CB_REGISTRY=$root/build-asan/registry.ini
  BUILD_DIR=$root/build-asan BUILD_TYPE=Debug bash "$root/scripts/build.sh" -DCB_WERROR=ON -DCB_SANITIZE=ON -DCB_BUILD_BENCH=OFF
  (cd "$root/build-asan" && ctest --output-on-failure -j 2 --timeout 900 -L sanitize)
fi
