#!/usr/bin/env bash
# Installs the Debian 12 packages that Ondula builds and tests with, when missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-translations-l10n adwaita-icon-theme libgl-dev libglu1-mesa-dev libqt6opengl6-dev
  libtiff-dev libjpeg62-turbo-dev libfftw3-dev libxlsxwriter-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 # the workbench's layer check (scripts/workbench_layers.py)
  python3-scipy # the reference of the FFT benchmark
  xvfb xauth unzip
  libx11-dev
  libv4l-dev
  clang libclang-rt-14-dev # the fuzz targets (scripts/fuzz.sh)
  clang-format # the formatting test (scripts/check_format.sh)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
