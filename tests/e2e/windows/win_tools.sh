#!/usr/bin/env bash
# Shift and a right click on the banner open the Tools window; "Disable"
# renames the start-up movies.
source "$(dirname "$0")/lib.sh"

game="$WORK/game"
mkdir -p "$game/Data/English/Movies"
echo logo >"$game/Data/English/Movies/EA_LOGO.bik"
echo intro >"$game/Data/English/Movies/Intro.bik"
store path "$(windows_path "$game")"
store zhmode 0

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')

# A right click without Shift does nothing. The window takes its input in
# order: once "Install A Mod", clicked next, has shown its introduction,
# the right click has been handled.
click "$main" 100 40 3
click "$main" 260 275   # "Install A Mod"
answer_box Escape       # "Tavrel can automaticaly import a MOD ..." Cancel
[ -z "$(xdotool search --onlyvisible --name '^Tools\.\.\.$' 2>/dev/null)" ] || fail "Tools opened without Shift"
xdotool mousemove --window "$main" 100 40 keydown shift click 3 keyup shift
tools=$(wait_window '^Tools\.\.\.$')
click "$tools" 40 80  # "Disable"
wait_window '^Tavrel$' >/dev/null
shot tools
answer_box Return     # "Startup Items Have Been Changed Successfully."
[ -f "$game/Data/English/Movies/__EA_LOGO.bik" ] || fail "the logo movie was not disabled"
[ -f "$game/Data/English/Movies/Intro.bik" ] || fail "another movie was touched"

"$X_CLOSE" "$tools"
wait_gone "$tools"
close_and_wait "$main"
echo "PASS $NAME"
