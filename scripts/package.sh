#!/usr/bin/env bash
# Builds Lumivex for release, makes its Debian package and installs it (with sudo when not root):
# afterwards Lumivex is in the desktop's menu and opens .lvd project files.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DLUMIVEX_TESTS=OFF -DLUMIVEX_BENCH=OFF
cmake --build build-package -j"$(nproc)"
rm -f build-package/lumivex_*.deb
(cd build-package && cpack -G DEB)
deb=$(ls build-package/lumivex_*.deb)
echo "Package: $deb"

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "./$deb"
