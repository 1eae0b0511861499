#!/usr/bin/env bash
# tavrel.exe run by a user who may read a game folder but not change it, as
# a game under Program Files is for a player without an administrator's
# consent: Wine runs programs as the Linux user, so the user nobody (with a
# Wine prefix of its own) on a folder of root's.
# - A change on the command line exits 3 and says to use a console opened
#   as administrator.
# - The window's tip line says the folder is protected, and "Restart Tavrel
#   as administrator" is offered; pressed, it asks ShellExecuteEx for the
#   "runas" verb with the program, the folder and the mode. Wine has no
#   consent to ask for, so the test stands in for the elevated start: the
#   stand-in (STAND_IN_GAME, named in TAVREL_ADMIN_STAND_IN) records the
#   command line it was given. The first window closes.
# - A folder nobody may change shows neither.
source "$(dirname "$0")/lib.sh"
if [ "$(id -u)" != 0 ]; then
    echo "SKIP $NAME: setpriv needs root"
    exit 77
fi

chmod 755 "$WORK"
home="$WORK/nobody"
game="$WORK/game"
own="$home/own"
mkdir -p "$game" "$own"
echo alpha >"$game/__Alpha.big"
echo bravo >"$game/__Bravo.bit"
echo alpha >"$own/__Alpha.big"
chown -R nobody:nogroup "$home"
wineserver="$(dirname "$WINE")/wineserver"
as_nobody() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$home" WINEPREFIX="$home/prefix" \
        TAVREL_ADMIN_STAND_IN="$(windows_path "$STAND_IN_GAME")" "$@"
}
trap 's=$?; shot end; as_nobody "$wineserver" -k 2>/dev/null || true; [ -n "${PID:-}" ] && kill "$PID" 2>/dev/null || true; rm -rf "$WORK"; exit $s' EXIT
as_nobody "$WINE" wineboot -i >/dev/null 2>&1 || fail "no Wine prefix for nobody"
settings() {
    as_nobody "$WINE" reg add "$SETTINGS" /v path /t REG_SZ /d "$(windows_path "$1")" /f >/dev/null 2>&1
    as_nobody "$WINE" reg add "$SETTINGS" /v zhmode /t REG_SZ /d 0 /f >/dev/null 2>&1
}
title='Tavrel - Generals Mod Manager v1.1.1'
read_window() { as_nobody "$WINE" "$MSAA_CLIENT" "$title" list | tr -d '\r'; }
before=$(tree_hashes "$game")

status=0
as_nobody "$WINE" "$TAVREL_EXE" --generals --folder "$(windows_path "$game")" --activate __Bravo \
    2>"$WORK/err" >/dev/null || status=$?
[ $status = 3 ] || fail "a change of a protected folder exited $status: $(cat "$WORK/err")"
grep -qF "Run tavrel.exe from a console opened as administrator" "$WORK/err" ||
    fail "the command line does not say what to do: $(cat "$WORK/err")"

settings "$game"
(cd "$home" && exec setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$home" \
    WINEPREFIX="$home/prefix" TAVREL_ADMIN_STAND_IN="$(windows_path "$STAND_IN_GAME")" \
    "$WINE" "$TAVREL_EXE" >"$WORK/tavrel.log" 2>&1) &
PID=$!
wait_window "^${title//./\\.}$" >/dev/null
seen=$(read_window)
grep -qE "^23	Windows protects this game folder: Tavrel needs an administrator's consent to change its MODs\." \
    <<<"$seen" || fail "no notice on the tip line: $seen"
grep -qxF "43	Restart Tavrel as administrator	Press	" <<<"$seen" || fail "no restart offered: $seen"
shot notice
as_nobody "$WINE" "$MSAA_CLIENT" "$title" press "Restart Tavrel as administrator" || fail "no restart to press"
wait_ended
for _ in $(seq 300); do
    [ -f "$home/played.txt" ] && break
    sleep 0.1
done
[ "$(tr -d '\r' <"$home/played.txt" | tail -n +2)" = "$(windows_path "$TAVREL_EXE")
--window
--folder
$(windows_path "$game")
--generals" ] || fail "the restart ran: $(cat "$home/played.txt" 2>&1)"
[ "$(tree_hashes "$game")" = "$before" ] || fail "the protected folder changed"

settings "$own"
(cd "$home" && exec setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$home" \
    WINEPREFIX="$home/prefix" "$WINE" "$TAVREL_EXE" >"$WORK/tavrel.log" 2>&1) &
PID=$!
main=$(wait_window "^${title//./\\.}$")
seen=$(read_window)
grep -qE "^23	Warning! " <<<"$seen" || fail "a folder nobody may change has a notice: $seen"
! grep -qF "Restart Tavrel as administrator" <<<"$seen" || fail "a restart is offered for a folder nobody may change"
close_and_wait "$main"
echo "PASS $NAME"
