#!/usr/bin/env bash
# First start with two active mods in the default game folder: the first-run
# question, the several-mods question, and the settings written on close.
source "$(dirname "$0")/lib.sh"

mkdir -p "$GAME"
echo one >"$GAME/__Alpha.big"
echo two >"$GAME/__Bravo.BIG"
echo three >"$GAME/__Charlie.bit"
echo game >"$GAME/INI.big"

start_tavrel
answer_box Escape   # "Do you have Generals ZERO HOUR ...?" No
answer_box Return   # "More then one MOD has been found! ..." OK
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')

[ -f "$GAME/__Alpha.big" ] || fail "the first mod is no longer active"
[ "$(cat "$GAME/__Bravo.bit")" = two ] || fail "the second mod was not deactivated intact"
[ ! -e "$GAME/__Bravo.BIG" ] || fail "the second mod is still active"
[ "$(cat "$GAME/INI.big")" = game ] || fail "the game's archive was touched"

close_and_wait "$main"
[ "$(setting zhmode)" = 0 ] || fail "zhmode not saved: $(cat "$XDG_CONFIG_HOME/TVL/TVL.conf")"
[ "$(setting path)" = "$GAME" ] || fail "path not saved: $(setting path)"
echo "PASS first_start"
