#!/usr/bin/env bash
# The .deb as Debian sees it: lintian finds no error, the dependencies are
# dpkg-shlibdeps' own, and the menu entry, its icons and the AppStream
# metadata inside it are valid and lead to files of the package.
#   deb_contents.sh PACKAGE-FOLDER
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }

debs=("$1"/tavrel_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "not exactly one .deb in $1: ${debs[*]}"
deb=${debs[0]}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# lintian refuses nothing it calls an error; its warnings are shown.
lintian --fail-on error --display-level '>=warning' "$deb" || fail "lintian reports errors"

[ "$(dpkg-deb -f "$deb" Package)" = tavrel ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = 1.1.1 ] || fail "version: $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6; do
  grep -Eq "(^|, )${lib//+/\\+} \(>= " <<<"$depends" || fail "no versioned dependency on $lib: $depends"
done

dpkg-deb -x "$deb" "$root"
app=io.github.tavrel.Tavrel
desktop=$root/usr/share/applications/$app.desktop
metainfo=$root/usr/share/metainfo/$app.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"

entry() { sed -n "s/^$1=//p" "$desktop"; }
exec=$(entry Exec)
[ -x "$root/usr/bin/${exec%% *}" ] || fail "Exec=$exec is not the packaged program"
[ "$(entry Icon)" = $app ] || fail "Icon=$(entry Icon) is not the application id"
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" || fail "metainfo launches another entry"
grep -q "<release version=\"1.1.1\"" "$metainfo" || fail "metainfo has no release 1.1.1"

# Each theme size holds a PNG of that size (the width and height of its header).
for size in 16 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app.png
  [ -f "$png" ] || fail "no $size pixel icon"
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "the $size pixel icon is ${w}x$h"
done
echo "PASS deb_contents"
