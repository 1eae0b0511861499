#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tavrel
# need, when they are missing, and builds the libraries that tavrel.exe links
# and Debian has no MinGW-w64 build of (scripts/mingw-libs.sh), from Debian's
# own source packages, once; and, once, the bare Debian 12 that the Linux
# bundle is tested in (scripts/bare-root.sh), from Debian's archive. Nothing
# else is fetched.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake unicode-data
  qt6-base-dev qt6-wayland libgl-dev libarchive-dev
  libgtest-dev libgmock-dev libbenchmark-dev googletest
  xvfb xauth xdotool x11-utils libx11-dev
  fonts-liberation fonts-dejavu-core
  g++-mingw-w64-x86-64-posix wine64 libz-mingw-w64-dev
  clang-14 libclang-rt-14-dev
  dpkg-dev fakeroot file lintian desktop-file-utils appstream nsis patchelf debootstrap
  python3 python3-pil libarchive-tools 7zip
  ntfs-3g exfat-fuse exfatprogs fusefat dosfstools fuse3 stress
  at-spi2-core python3-pyatspi dbus-daemon orca speech-dispatcher
)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# Source packages come through a deb-src entry beside each deb entry of
# Debian's own sources.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "Adding deb-src entries for Debian's source packages"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $sudo tee /etc/apt/sources.list.d/tavrel-deb-src.sources >/dev/null
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo tee /etc/apt/sources.list.d/tavrel-deb-src.list >/dev/null
  fi
  $sudo apt-get update
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
fi

# libarchive and liblzma for Windows, into the cache (reused when built).
scripts/mingw-libs.sh >/dev/null
# The bare Debian 12 that the Linux bundle is tested in, into the cache
# too; where it cannot be made, that test says why and is skipped.
scripts/bare-root.sh >/dev/null || true
