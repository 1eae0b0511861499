#!/usr/bin/env bash
# Every key of the key table on the real tavrel.exe, one after another, as
# on Linux (e2e/key_table.sh): the accelerators and the list's keys.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../key_table.sh"

GAME="$WORK/game"
mkdir -p "$GAME/Data/Movies"
echo alpha >"$GAME/__Alpha.big"
echo bravo >"$GAME/__Bravo.bit"
echo charlie >"$GAME/__Charlie.bit"
echo logo >"$GAME/Data/Movies/EA_LOGO.bik"
cp "$STAND_IN_GAME" "$GAME/generals.exe"
store path "$(windows_path "$GAME")"
store zhmode 0
# The readme in Notepad, as Windows opens it.
readme_shown() {
    local editor
    editor=$(wait_window '[Rr]eadme')
    "$X_CLOSE" "$editor"
    wait_gone "$editor"
}

# The stand-in game notes its working folder and arguments in played.txt.
game_started() {
    for _ in $(seq 300); do [ -f "$GAME/played.txt" ] && break; sleep 0.1; done
    [ "$(tr -d '\r' <"$GAME/played.txt" 2>/dev/null)" = "$(windows_path "$GAME")" ] ||
        fail "the game was not started in its folder: $(cat "$GAME/played.txt" 2>&1)"
    rm "$GAME/played.txt"
    no_game_runs
}

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
run_key_table "$main"
shot keys
close_and_wait "$main"
echo "PASS $NAME"
