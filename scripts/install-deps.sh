#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tavrel
# need, when they are missing. Nothing else is fetched.
set -euo pipefail

packages=(
  build-essential cmake unicode-data
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev googletest
  xvfb xauth xdotool x11-utils libx11-dev
  fonts-liberation fonts-dejavu-core
  g++-mingw-w64-x86-64-posix wine64
  clang-14 libclang-rt-14-dev
  dpkg-dev fakeroot file lintian desktop-file-utils appstream nsis
  python3-pil
  ntfs-3g exfat-fuse exfatprogs fusefat dosfstools fuse3 stress
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
