#!/usr/bin/env bash
# Makes a bare Debian 12 system, as `debootstrap --variant=minbase` leaves
# it: the C library, a shell and apt, and no Qt, libarchive or X library.
# The Linux bundle's test runs Tavrel in it (tests/packaging/bundle_bare.sh).
#
#   scripts/bare-root.sh        prints the folder that holds it
#
# It is made once, as root, into a cache outside the build folders, and
# reused:
#   ${TAVREL_BARE_ROOT:-${XDG_CACHE_HOME:-~/.cache}/tavrel/debian-12-minbase}
# Exit status 2 says why it cannot be made here (not root, no debootstrap,
# the package archive out of reach); 1 is any other failure.
set -euo pipefail
root=${TAVREL_BARE_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrel/debian-12-minbase}
mirror=${TAVREL_DEBIAN_MIRROR:-http://deb.debian.org/debian}
# What the cache holds; a root made with other settings is made again.
wanted="bookworm minbase amd64"

if [ -f "$root/.made-by-tavrel" ] && [ "$(cat "$root/.made-by-tavrel")" = "$wanted" ]; then
    echo "$root"
    exit 0
fi
command -v debootstrap >/dev/null || [ -x /usr/sbin/debootstrap ] || {
    echo "bare-root.sh: debootstrap is not installed (Debian package debootstrap)" >&2
    exit 2
}
[ "$(id -u)" -eq 0 ] || { echo "bare-root.sh: debootstrap must run as root" >&2; exit 2; }

echo "bare-root.sh: making a bare Debian 12 in $root from $mirror" >&2
rm -rf "$root"
mkdir -p "$(dirname "$root")"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! PATH=$PATH:/usr/sbin:/sbin debootstrap --variant=minbase --arch=amd64 bookworm "$root" "$mirror" >"$log" 2>&1; then
    tail -n 20 "$log" >&2
    rm -rf "$root"
    if grep -qE "Failed getting release file|Couldn't download|Could not resolve|Temporary failure|Connection (refused|timed out)" "$log"; then
        echo "bare-root.sh: the package archive $mirror cannot be reached" >&2
        exit 2
    fi
    exit 1
fi
# Downloaded packages are not part of the system.
rm -rf "$root"/var/cache/apt/archives/*.deb
printf '%s' "$wanted" >"$root/.made-by-tavrel"
echo "$root"
