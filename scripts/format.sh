#!/usr/bin/env bash
# Formats every C++ file git tracks with clang-format (the style is .clang-format).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i
