#!/usr/bin/env bash
# Shift and a right click on the banner open the Tools window; "Disable"
# renames the start-up movies. Real X input, no window manager.
source "$(dirname "$0")/lib.sh"

mkdir -p "$GAME/Data/English/Movies" "$XDG_CONFIG_HOME/TVL"
echo logo >"$GAME/Data/English/Movies/EA_LOGO.bik"
echo intro >"$GAME/Data/English/Movies/Intro.bik"
printf '[Settings]\nzhmode=0\n' >"$XDG_CONFIG_HOME/TVL/TVL.conf"

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')

# A right click without Shift does nothing. The window handles input in
# order: once "Install A Mod", clicked next, has shown its introduction,
# the right click has been handled.
xdotool mousemove --window "$main" 100 40 click 3
xdotool mousemove --window "$main" 260 275 click 1   # "Install A Mod"
answer_box Escape   # "Tavrel can automaticaly import a MOD ..." Cancel
[ -z "$(xdotool search --onlyvisible --name '^Tools\.\.\.$' 2>/dev/null)" ] || fail "Tools opened without Shift"

xdotool mousemove --window "$main" 100 40 keydown shift click 3 keyup shift
tools=$(wait_window '^Tools\.\.\.$')
xdotool mousemove --window "$tools" 47 80 click 1   # "Disable"
answer_box Return                                    # "Startup Items Have Been Changed Successfully."

[ -f "$GAME/Data/English/Movies/__EA_LOGO.bik" ] || fail "the logo movie was not disabled"
[ -f "$GAME/Data/English/Movies/Intro.bik" ] || fail "another movie was touched"

"$X_CLOSE" "$tools"
wait_gone "$tools"
close_and_wait "$main"
echo "PASS tools_window"
