#!/usr/bin/env bash
# Fails, naming the files, when a C++ file git tracks differs from what clang-format makes of it
# (the style is .clang-format). scripts/format.sh rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
report=$(git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror 2>&1) && exit 0
echo "Not formatted as .clang-format says ($(clang-format --version)):"
grep -o '^[^:]*:[0-9]*:[0-9]*: error' <<<"$report" | cut -d: -f1 | sort -u | sed 's/^/  /'
grep -q ': error' <<<"$report" || echo "$report"
echo "Run scripts/format.sh and commit the result."
exit 1
