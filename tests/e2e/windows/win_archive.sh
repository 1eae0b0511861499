#!/usr/bin/env bash
# "Install A Mod" with a .7z of two mods, picked in the file dialog: the
# chooser offers both, the second is taken and unpacked under its own name.
# TAVREL_TEST_ARCHIVES holds the archives made for the tests.
source "$(dirname "$0")/lib.sh"

game="$WORK/game"
mkdir -p "$game" "$WORK/downloads"
echo one >"$game/__Alpha.bit"
cp "$TAVREL_TEST_ARCHIVES/lzma2.7z" "$WORK/downloads/Mod Pack.7z"
store path "$(windows_path "$game")"
store zhmode 0

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
click "$main" 260 275  # "Install A Mod"
answer_box Return      # the introduction: OK
dialog=$(wait_window '^Select Generals MOD\.\.\.\.$')
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool type --delay 20 "$(windows_path "$WORK/downloads/Mod Pack.7z")"
xdotool key Return
wait_gone "$dialog"
chooser=$(wait_window '^Select Generals MOD\.\.\.\.$')
shot chooser
press_in "$chooser" Down    # Blue.big, then Storm.big
press_in "$chooser" Return
answer_box Escape      # "MOD (Storm.big) ... Would you like to activate this MOD now?" No
shot installed
cmp -s "$game/__Storm.bit" "$TAVREL_TEST_ARCHIVES/expected/Stürm.big" || fail "the mod was not unpacked: $(ls "$game")"
[ "$(ls "$game" | sort | tr '\n' ' ')" = "__Alpha.bit __Storm.bit " ] || fail "unexpected files: $(ls "$game")"
cmp -s "$WORK/downloads/Mod Pack.7z" "$TAVREL_TEST_ARCHIVES/lzma2.7z" || fail "the archive was changed"

close_and_wait "$main"
echo "PASS $NAME"
