#!/usr/bin/env bash
# Activate a selected mod, "Deactivate All", and install a mod through the
# file dialog by typing its path, in the real window.
source "$(dirname "$0")/lib.sh"

game="$WORK/game"
mkdir -p "$game" "$WORK/downloads"
echo one >"$game/__Alpha.big"
echo two >"$game/__Bravo.bit"
echo storm >"$WORK/downloads/_Storm.big"
store path "$(windows_path "$game")"
store zhmode 0

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')

# Activate Selected: the list's first entry, then the label-button.
click "$main" 30 206
click "$main" 260 210
answer_box Return  # "Are you sure you want to activate __Bravo MOD?" Yes
answer_box Return  # "Mod __Alpha Has Been De-activated..."
answer_box Return  # "MOD __Bravo activated..."
shot activated
[ "$(cat "$game/__Bravo.big")" = two ] || fail "__Bravo was not activated"
[ "$(cat "$game/__Alpha.bit")" = one ] || fail "__Alpha was not deactivated"

# Deactivate All.
click "$main" 260 232
answer_box Return  # "Are you sure you want to de-activate all mods?" Yes
answer_box Return  # "Mod __Bravo Has Been De-activated..."
shot deactivated
[ "$(cat "$game/__Bravo.bit")" = two ] || fail "__Bravo was not deactivated"
[ -z "$(ls "$game" | grep -i '\.big$' || true)" ] || fail "a mod is still active: $(ls "$game")"

# Install A Mod, typing the path into the file dialog.
click "$main" 260 275
answer_box Return  # the introduction: OK
dialog=$(wait_window '^Select Generals MOD\.\.\.\.$')
shot file-dialog
# The name box has the keyboard once the dialog has it.
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool type --delay 20 "$(windows_path "$WORK/downloads/_Storm.big")"
xdotool key Return
answer_box Escape  # "... Would you like to activate this MOD now?" No
shot installed
[ "$(cat "$game/__Storm.bit")" = storm ] || fail "the mod was not installed: $(ls "$game")"
[ "$(cat "$WORK/downloads/_Storm.big")" = storm ] || fail "the source was changed"

close_and_wait "$main"
echo "PASS $NAME"
