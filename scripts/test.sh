#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: warnings as errors, and under
# AddressSanitizer + UndefinedBehaviorSanitizer. Fails when any build or test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

for preset in ci asan; do
  echo "== build: $preset"
  scripts/build.sh "$preset"
  echo "== test: $preset"
  ctest --preset "$preset" -j "$(nproc)"
done
