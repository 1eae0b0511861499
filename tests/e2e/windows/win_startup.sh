#!/usr/bin/env bash
# Start-up on a folder with three active mods: the several-mods message
# once, one mod stays active, every byte kept; then close, and the folder
# and mode are in the registry.
source "$(dirname "$0")/lib.sh"

game="$WORK/game"
mkdir -p "$game"
echo one >"$game/__Alpha.big"
echo two >"$game/__Bravo.big"
echo three >"$game/__Charlie.BIG"
echo game >"$game/INI.big"
store path "$(windows_path "$game")"
store zhmode 0

start_tavrel
answer_box Return  # "More then one MOD has been found! ..." OK
# The window shows once its load, and every message of the start, is over.
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
shot started
[ "$(boxes)" = 0 ] || fail "more than one message at start-up"

[ "$(cat "$game/__Alpha.big")" = one ] || fail "the first mod is no longer active"
[ "$(cat "$game/__Bravo.bit")" = two ] || fail "the second mod was not deactivated intact"
[ "$(cat "$game/__Charlie.bit")" = three ] || fail "the third mod was not deactivated intact"
[ "$(ls "$game" | grep -ci '^__.*\.big$')" = 1 ] || fail "not exactly one active mod: $(ls "$game")"
[ "$(cat "$game/INI.big")" = game ] || fail "the game's archive was touched"

close_and_wait "$main"
[ "$(stored path)" = "$(windows_path "$game")" ] || fail "path not saved: $(stored path)"
[ "$(stored zhmode)" = 0 ] || fail "zhmode not saved: $(stored zhmode)"
echo "PASS $NAME"
