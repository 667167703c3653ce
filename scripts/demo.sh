#!/usr/bin/env bash
# Installs what is missing, builds, lays out a demo exam repository in demo/ (two classes, three
# papers, a few finished results) and starts the teacher console there.
#
# Running it again updates the programs, templates and help in demo/ and keeps the demo's data:
# the demo data is written only when demo/sys/sys.cho is missing. Delete demo/ for a fresh demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default
cmake --install build/default --prefix "$PWD/demo" >/dev/null
if [ -f demo/sys/sys.cho ]; then
  echo "demo/ holds a repository already; its classes, papers and results are kept."
else
  build/default/tools/make-demo "$PWD/demo"
fi
echo "Demo repository: $PWD/demo"
echo "Student client on the same repository: demo/candidate"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: start demo/proctor from a desktop session."
  exit 0
fi
exec demo/proctor
