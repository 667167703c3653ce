#!/usr/bin/env bash
# Installs what is missing, checks that every C++ file is laid out as .clang-format says, then
# builds and runs every test twice: warnings as errors, and under AddressSanitizer +
# UndefinedBehaviorSanitizer. Fails when the layout check, any build or any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
echo "== format"
scripts/check-format.sh

for preset in ci asan; do
  echo "== build: $preset"
  scripts/build.sh "$preset"
  echo "== test: $preset"
  ctest --preset "$preset" -j "$(nproc)"
done
