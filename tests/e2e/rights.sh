#!/usr/bin/env bash
# A game folder this user may not change, on the real program's command
# line without a display: a folder of root's for the user nobody, and a
# volume mounted read-only. A change exits 3 and says why and what to do,
# naming the owner or the volume; --list still answers; the look that
# finds it out leaves the folder as it was.
source "$(dirname "$0")/lib.sh"
unset DISPLAY WAYLAND_DISPLAY
if [ "$(id -u)" != 0 ]; then
    echo "SKIP rights: setpriv and mount need root"
    exit 77
fi

chmod 755 "$WORK"
mkdir -p "$GAME"
echo alpha >"$GAME/__Alpha.big"
echo bravo >"$GAME/__Bravo.bit"
as_nobody() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups env -u XDG_RUNTIME_DIR HOME=/nonexistent \
        XDG_CONFIG_HOME="$WORK/nobody" "$@"
}
# Every name, size and content below a folder, and the folder's own times.
state() { (cd "$1" && find . -printf '%p %s %T@\n' | sort && find . -type f -exec sha256sum {} + | sort); }

before=$(state "$GAME")
status=0; as_nobody "$TAVREL" --generals --folder "$GAME" --activate __Bravo 2>"$WORK/err" || status=$?
[ $status = 3 ] || fail "a change of root's folder as nobody exited $status: $(cat "$WORK/err")"
grep -qF "tavrel: You may not change this game folder: it belongs to root. Make it yours (the README says how)" \
    "$WORK/err" || fail "no word of the owner: $(cat "$WORK/err")"
[ "$(as_nobody "$TAVREL" --generals --folder "$GAME" --list)" = "$GAME
__Alpha
__Bravo" ] || fail "--list of a folder nobody may not change"
[ "$(state "$GAME")" = "$before" ] || fail "the folder changed: $(ls -la "$GAME")"

# A volume mounted read-only: root may not change it either.
mnt="$WORK/volume"
mkdir -p "$mnt"
truncate -s 8M "$WORK/volume.img"
mkfs.ext2 -q -F "$WORK/volume.img"
mount -o loop "$WORK/volume.img" "$mnt" || { echo "SKIP rights: no loop mount here"; exit 77; }
trap 'umount "$mnt" 2>/dev/null || true; rm -rf "$WORK"' EXIT
mkdir "$mnt/game"
echo alpha >"$mnt/game/__Alpha.big"
mount -o remount,ro "$mnt"
before=$(state "$mnt/game")
status=0; "$TAVREL" --generals --folder "$mnt/game" --deactivate 2>"$WORK/err" || status=$?
[ $status = 3 ] || fail "a change on a read-only volume exited $status: $(cat "$WORK/err")"
grep -qF "tavrel: This game folder is on a disk that is mounted read-only ($mnt), so no MOD can be switched here." \
    "$WORK/err" || fail "no word of the volume: $(cat "$WORK/err")"
[ "$(state "$mnt/game")" = "$before" ] || fail "the read-only folder changed"
echo "PASS rights"
