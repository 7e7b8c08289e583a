#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it with the
# pinned .clang-format. Fix with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
if git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror 2>/tmp/check-format.$$; then
  rm -f /tmp/check-format.$$
  echo "format check: every file as clang-format writes it"
else
  grep -E '^[^ ].*(warning|error):' /tmp/check-format.$$ | cut -d: -f1 | sort -u | sed 's/^/format check: not formatted: /'
  rm -f /tmp/check-format.$$
  exit 1
fi
