#!/usr/bin/env bash
# Packs Tavrel for any x86-64 Linux, the Steam Deck's SteamOS among them:
# one .tar.gz of a folder that holds the program and every shared library
# it needs from this (Debian) system, but the C library's and the graphics
# driver's, which each system has its own of.
#
#   bundle.sh PROGRAM QT-PLUGIN-FOLDER VERSION OUTPUT-FOLDER
#
# writes OUTPUT-FOLDER/tavrel-VERSION-linux-x86_64.tar.gz and prints its path.
# The folder in it:
#   tavrel                     the start script, run from wherever it is
#   install.sh                 the menu entry and icon for this user
#   tavrel.desktop, tavrel.png the entry install.sh fills in, and its icon
#   lib/tavrel                 the program, finding its libraries beside it
#   lib/*.so.*, lib/plugins/   the libraries, Qt's platform plugins
#   lib/qt.conf                sends Qt to those plugins, not the system's
#   lib/fonts/                 Liberation Sans, for a system without fonts
#   licenses/                  the copyright files of the Debian packages
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: bundle.sh PROGRAM QT-PLUGIN-FOLDER VERSION OUTPUT-FOLDER" >&2; exit 2; }
program=$1 plugins=$2 version=$3 output=$4
here=$(cd "$(dirname "$0")" && pwd)
name=tavrel-$version-linux-x86_64
for tool in patchelf ldd strip; do
    command -v "$tool" >/dev/null || { echo "bundle.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
top=$work/$name
mkdir -p "$top/lib/plugins"

# Qt's plugins for X11 and Wayland windows, the keyboard's compose and
# input-method plugins, and the GL integrations the xcb plugin asks for.
wanted_plugins=(
    platforms/libqxcb.so
    platforms/libqwayland-generic.so
    platforms/libqwayland-egl.so
    wayland-shell-integration
    wayland-decoration-client
    wayland-graphics-integration-client
    xcbglintegrations
    platforminputcontexts
)
for plugin in "${wanted_plugins[@]}"; do
    [ -e "$plugins/$plugin" ] || { echo "bundle.sh: Qt has no $plugins/$plugin (packages qt6-base, qt6-wayland)" >&2; exit 1; }
    mkdir -p "$top/lib/plugins/$(dirname "$plugin")"
    cp -r "$plugins/$plugin" "$top/lib/plugins/$(dirname "$plugin")/"
done
install -m 755 "$program" "$top/lib/tavrel"
strip --strip-unneeded "$top/lib/tavrel"

# Every library the program and the plugins load, as the system's loader
# finds it, but those of the C library (glibc) and of the graphics driver
# (Mesa's or a vendor's, which the GL dispatch libraries load from the
# system).
system_only='^(linux-vdso|ld-linux|libc|libm|libmvec|libdl|libpthread|librt|libresolv|libutil|libanl|libnsl|libBrokenLocale|libthread_db|libnss_[a-z0-9]+|libGLX_[a-z]+|libEGL_[a-z]+|libgbm|libglapi|libdrm[a-z_]*|libnvidia-[a-z-]+|libvulkan)\.so'
# ldd lists what each one loads, all the way down.
while read -r soname path; do
    [[ $soname =~ $system_only ]] && continue
    [ "$path" = "not" ] && { echo "bundle.sh: the system has no $soname" >&2; exit 1; }
    [ -e "$top/lib/$soname" ] && continue
    cp -L "$path" "$top/lib/$soname"
    chmod 644 "$top/lib/$soname"
done < <(find "$top/lib" -type f \( -name tavrel -o -name '*.so*' \) -print0 | xargs -0 ldd 2>/dev/null |
    awk '$2 == "=>" { print $1, $3 }' | sort -u)

# The program reads its libraries from its own folder first, and its
# libraries and plugins, loaded below it, from there too: an RPATH (unlike a
# RUNPATH) holds for every library loaded, and nothing is set in the
# environment that the game, started by Play, would inherit.
patchelf --force-rpath --set-rpath '$ORIGIN' "$top/lib/tavrel"
printf '[Paths]\nPrefix = .\nPlugins = plugins\n' >"$top/lib/qt.conf"

# A font for a system that has none (Qt draws boxes for every letter then):
# Liberation Sans, which has the measures of the window's Windows fonts.
mkdir -p "$top/lib/fonts"
for font in LiberationSans-Regular.ttf LiberationSans-Bold.ttf; do
    install -m 644 "/usr/share/fonts/truetype/liberation/$font" "$top/lib/fonts/$font"
done
# The licences of what it holds: each Debian package's copyright file.
mkdir -p "$top/licenses"
find "$top/lib" -maxdepth 1 -name '*.so*' -printf '%f\n' | sed 's|^|*/|' |
    xargs dpkg-query -S 2>/dev/null | sed -n 's/^\([^:,]*\)[:,].*/\1/p' | sort -u |
    while read -r package; do
        [ -f "/usr/share/doc/$package/copyright" ] && install -m 644 "/usr/share/doc/$package/copyright" "$top/licenses/$package"
    done
for font in fonts-liberation; do install -m 644 "/usr/share/doc/$font/copyright" "$top/licenses/$font"; done
install -m 755 "$here/bundle/tavrel" "$here/bundle/install.sh" "$top/"
install -m 644 "$here/io.github.tavrel.Tavrel.desktop" "$top/tavrel.desktop"
install -m 644 "$here/icons/256.png" "$top/tavrel.png"
install -m 644 "$here/copyright" "$top/COPYRIGHT"

mkdir -p "$output"
archive=$output/$name.tar.gz
tar -C "$work" --owner=0 --group=0 --numeric-owner -czf "$archive.part" "$name"
mv -f "$archive.part" "$archive"
echo "$archive"
