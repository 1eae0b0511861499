#!/usr/bin/env bash
# The Linux bundle (BUNDLE, a .tar.gz) where nothing else is installed: in a
# bare Debian 12 (scripts/bare-root.sh), unpacked into a folder with spaces
# in its path, it prints its version, lists a game folder, starts the game
# handing it nothing of its own in the environment, and opens its window on
# this test's X server. Its install.sh puts the menu entry in and takes it
# out again. Exit status 77 (skipped) says what is missing here.
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "a chroot needs root"
chroot=$(PATH=$PATH:/usr/sbin:/sbin command -v chroot) || skip "no chroot"
unshare=$(command -v unshare) || skip "no unshare"
# The cache is the user's, found before the test's own home is set.
status=0
cache=$("$(dirname "$0")/../../scripts/bare-root.sh") || status=$?
[ $status -eq 2 ] && skip "no bare Debian 12 root can be made here (see above)"
[ $status -eq 0 ] || { echo "FAIL: scripts/bare-root.sh failed" >&2; exit 1; }
source "$(dirname "$0")/../e2e/lib.sh"
for lib in libQt6Core.so.6 libarchive.so.13 libX11.so.6 libxcb.so.1 libxkbcommon.so.0 libicuuc.so.72 libGLX.so.0; do
    [ -z "$(find "$cache/usr/lib" "$cache/lib" -name "$lib" -print -quit 2>/dev/null)" ] ||
        fail "the bare root is not bare: it has $lib"
done

root=$WORK/root
cp -a "$cache" "$root"
folder="/opt/My Games/Tavrel for \"all\""
mkdir -p "$root$folder"
tar -C "$root$folder" --strip-components=1 -xzf "$BUNDLE"
in_root() {
    env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/home/player LANG=C.UTF-8 DISPLAY="$DISPLAY" \
        XDG_RUNTIME_DIR=/run/player "$@"
}
run_in_root() {
    in_root "$unshare" --mount-proc="$root/proc" "$chroot" "$root" "$@"
}
mkdir -p "$root/home/player/.config/TVL" "$root/run/player"
chmod 700 "$root/run/player"

[ "$(run_in_root "$folder/tavrel" --version | head -n 1)" = "tavrel 1.1.1" ] || fail "--version"
# Started through a link on the PATH, as a user may put it there.
mkdir -p "$root/usr/local/bin"
ln -s "$folder/tavrel" "$root/usr/local/bin/tavrel"
[ "$(run_in_root tavrel --version | head -n 1)" = "tavrel 1.1.1" ] || fail "--version through a link"

game="/home/player/.wine/drive_c/Games/Zero Hour"
mkdir -p "$root$game"
echo one >"$root$game/__Alpha.big"
echo two >"$root$game/Bravo.bit"
echo game >"$root$game/generals.exe"
echo rules >"$root$game/INIZH.big"
echo "WINE REGISTRY Version 2" >"$root/home/player/.wine/system.reg"
listed=$(run_in_root "$folder/tavrel" --list --folder "$game" --zero-hour)
[ "$listed" = "$game"$'\n'"__Alpha"$'\n'"Bravo" ] || fail "--list printed: $listed"

# Play runs Wine in the game's prefix: a stand-in that keeps what it got.
printf '#!/bin/sh\nenv >/tmp/played.part && mv /tmp/played.part /tmp/played.env\n' >"$root/usr/local/bin/wine"
chmod 755 "$root/usr/local/bin/wine"
run_in_root "$folder/tavrel" --play --folder "$game" --zero-hour || fail "--play"
for _ in $(seq 300); do [ -f "$root/tmp/played.env" ] && break; sleep 0.1; done
[ -f "$root/tmp/played.env" ] || fail "the game was not started"
leaked=$(grep -E '^(LD_[A-Z_]+|QT_[A-Z_]+|QML[A-Z_0-9]*|XDG_DATA_DIRS|FONTCONFIG_[A-Z_]+)=' "$root/tmp/played.env" || true)
[ -z "$leaked" ] || fail "the game inherited what Tavrel's start set: $leaked"
grep -qx 'WINEPREFIX=/home/player/.wine' "$root/tmp/played.env" || fail "the game's prefix: $(cat "$root/tmp/played.env")"

# The window, on this test's X server (its socket is in the abstract
# namespace, which a chroot shares).
printf '[Settings]\nzhmode=1\npath=%s\n' "$game" >"$root/home/player/.config/TVL/TVL.conf"
run_in_root "$folder/tavrel" >"$WORK/tavrel.log" 2>&1 &
PID=$!
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
[ -n "$(xwininfo -id "$main" | grep 'Map State: IsViewable')" ] || fail "the window is not mapped"
[ -n "${SHOTS:-}" ] && { mkdir -p "$SHOTS"; "$X_SHOT" "$SHOTS/bundle_bare.png" || true; }
close_and_wait "$main"
[ -z "$(grep -iE 'could not load the qt platform plugin|cannot open shared object' "$WORK/tavrel.log")" ] ||
    fail "the window started with a missing library: $(cat "$WORK/tavrel.log")"

# The Wayland plugin loads with all it needs: without a compositor it gets
# as far as looking for its display.
wayland=$(in_root QT_QPA_PLATFORM=wayland "$unshare" --mount-proc="$root/proc" "$chroot" "$root" "$folder/tavrel" 2>&1 || true)
grep -q 'Failed to create wl_display' <<<"$wayland" || fail "the Wayland plugin did not load: $wayland"

# The menu entry: in with its icon, starting this folder's program, and out.
run_in_root "$folder/install.sh" >/dev/null || fail "install.sh"
entry=$root/home/player/.local/share/applications/io.github.tavrel.Tavrel.desktop
icon=$root/home/player/.local/share/icons/hicolor/256x256/apps/io.github.tavrel.Tavrel.png
[ -f "$icon" ] || fail "install.sh put no icon in place"
desktop-file-validate "$entry" || fail "the installed entry is not valid"
[ "$(sed -n 's/^Exec=//p' "$entry")" = '"/opt/My Games/Tavrel for \\"all\\"/tavrel"' ] ||
    fail "Exec: $(sed -n 's/^Exec=//p' "$entry")"
[ "$(sed -n 's/^TryExec=//p' "$entry")" = "$folder/tavrel" ] || fail "TryExec: $(sed -n 's/^TryExec=//p' "$entry")"
run_in_root "$folder/install.sh" --uninstall >/dev/null || fail "install.sh --uninstall"
[ ! -e "$entry" ] && [ ! -e "$icon" ] || fail "--uninstall left the entry or its icon"
echo "PASS bundle_bare"
