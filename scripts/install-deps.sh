#!/usr/bin/env bash
# Installs every Debian 12 package the project needs to build, test and run. Idempotent: when all
# packages are present it prints nothing and changes nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  qt6-charts-dev libqt6opengl6-dev  # charts; the charts package leaves out the OpenGL module it needs
  libzip-dev libpugixml-dev
  libbenchmark-dev
  libinih-dev libsimpleini-dev  # benchmark baselines only
  clang libclang-rt-14-dev
  clang-format  # scripts/check-format.sh, the layout every C++ file keeps
  fonts-noto-cjk xvfb xdg-utils
  poppler-utils  # the PDF copies' test reads them back (pdftotext, pdfinfo, pdffonts, pdftoppm)
  patchelf  # run paths of the runtime an install puts beside the programs
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
