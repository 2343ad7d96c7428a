#!/usr/bin/env bash
# Installs what Lumivex needs to build, run and test on Debian 12 (apt-get, with sudo when not root).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic
  qt6-tools-dev qt6-l10n-tools
  libwmf-dev fonts-urw-base35
  libisal-dev libpng-dev
  libbenchmark-dev clang libclang-rt-14-dev
  xdg-utils
)
if [ "${1:-}" = "--test" ]; then
  packages+=(cups printer-driver-cups-pdf xvfb poppler-utils valgrind)
  # the checks of the installed tree and of the Debian package
  packages+=(desktop-file-utils appstream shared-mime-info dpkg-dev binutils)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi
