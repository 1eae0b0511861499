#!/usr/bin/env bash
# Every key of the key table on the real window, one after another.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/key_table.sh"

mkdir -p "$GAME/Data/Movies" "$XDG_CONFIG_HOME/TVL" "$WORK/bin"
echo alpha >"$GAME/__Alpha.big"
echo bravo >"$GAME/__Bravo.bit"
echo charlie >"$GAME/__Charlie.bit"
echo logo >"$GAME/Data/Movies/EA_LOGO.bik"
echo game >"$GAME/generals.exe"
printf '[Settings]\nzhmode=0\npath=%s\n' "$GAME" >"$XDG_CONFIG_HOME/TVL/TVL.conf"
# The desktop's handler of text files: a stand-in that notes what it opens.
printf '#!/bin/sh\nprintf "%%s" "$1" > "%s/opened"\n' "$WORK" >"$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
# Wine: a stand-in that notes what it runs and where.
printf '#!/bin/sh\n{ printf "%%s\\n" "$@"; pwd; } > "%s/played.tmp" && mv "%s/played.tmp" "%s/played"\n' \
    "$WORK" "$WORK" "$WORK" >"$WORK/bin/wine"
chmod +x "$WORK/bin/wine"
export PATH="$WORK/bin:$PATH"
game_started() {
    for _ in $(seq 300); do [ -f "$WORK/played" ] && break; sleep 0.1; done
    [ "$(cat "$WORK/played" 2>/dev/null)" = "$GAME/generals.exe"$'\n'"$GAME" ] ||
        fail "the game was not started in its folder: $(cat "$WORK/played" 2>&1)"
    rm "$WORK/played"
    no_game_runs
}
readme_shown() {
    for _ in $(seq 300); do
        [ -s "$WORK/opened" ] && grep -q 'readme.txt$' "$WORK/opened" && return 0
        sleep 0.1
    done
    return 1
}

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
run_key_table "$main"
close_and_wait "$main"
echo "PASS keys"
