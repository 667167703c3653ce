#!/usr/bin/env bash
# Installs what is missing, builds, lays out a demo exam repository in demo/ and starts the
# teacher console there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default
cmake --install build/default --prefix "$PWD/demo" >/dev/null
echo "Demo repository: $PWD/demo"
if [ -x demo/proctor ]; then
  exec demo/proctor
else
  echo "The console is not built yet; the repository root is laid out in demo/."
fi
