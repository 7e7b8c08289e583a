#!/usr/bin/env bash
# The render and the windows' tests under the thread sanitizer, in a build tree of their own
# (build-tsan). Run after scripts/install-deps.sh; takes about 25 minutes on two cores.
#   bash scripts/thread-check.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-tsan"
flags="-fsanitize=thread"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCB_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" "$@"
ninja -C "$build" -j "${JOBS:-2}" render_movie_tests ui_render_tests vidmill regsvr
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="suppressions=$root/scripts/thread-check.supp halt_on_error=0 report_signal_unsafe=0"
status=0
for tests in render_movie_tests ui_render_tests; do
  log="$build/$tests.log"
  "$build/bin/$tests" >"$log" 2>&1 || status=1
  races=$(grep -c "WARNING: ThreadSanitizer" "$log" || true)
  echo "$tests: $(grep -E '^\[  PASSED  \]' "$log" || echo 'tests failed'), $races thread sanitizer report(s) ($log)"
  [ "$races" -eq 0 ] || status=1
done
exit $status
