#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them.
#   bash scripts/fuzz.sh TARGET [SECONDS]     e.g.  bash scripts/fuzz.sh fuzz_avi_reader 600
# The corpus lives in build-fuzz/corpus/TARGET; crashes are written to build-fuzz/crashes/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: fuzz.sh TARGET [SECONDS]}
seconds=${2:-300}
bash "$root/scripts/install-deps.sh"
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || apt-get install -y -qq "$p"
done
CC=clang CXX=clang++ BUILD_DIR=$root/build-fuzz BUILD_TYPE=RelWithDebInfo \
  bash "$root/scripts/build.sh" -DCB_BUILD_FUZZ=ON -DCB_BUILD_TESTS=OFF -DCB_BUILD_BENCH=OFF -DCB_BUILD_UI=OFF
mkdir -p "$root/build-fuzz/corpus/$target" "$root/build-fuzz/crashes"
seeds="$root/fuzz/${target#fuzz_}/seeds"
[ -d "$seeds" ] || seeds=
"$root/build-fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$root/build-fuzz/crashes/" "$root/build-fuzz/corpus/$target" $seeds
