#!/usr/bin/env bash
# "Install A Mod" with a .zip of three .big files, picked in the file
# dialog: the checklist offers all three ticked, one is unticked with Space,
# a name is typed over the archive's, and the two left are merged into one
# mod under that name. Then two .big files picked together in the file
# dialog: both ticked, the name of the first kept, merged.
source "$(dirname "$0")/lib.sh"
big_mod() { python3 "$(dirname "$0")/../big_mod.py" "$@"; }

game="$WORK/game"
mkdir -p "$game" "$WORK/downloads"
echo one >"$game/__Alpha.bit"
big_mod pack "$WORK/downloads/Mod Pack.zip" "Mod Pack" Blue.big Maps.big Storm.big
cp "$WORK/downloads/Mod Pack.zip" "$WORK/as-downloaded.zip"
for member in Blue.big Storm.big; do big_mod member "$WORK/downloads/Mod Pack.zip" $member >"$WORK/downloads/$member"; done
store path "$(windows_path "$game")"
store zhmode 0

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
install_through_dialog "$main" "$WORK/downloads/Mod Pack.zip"
chooser=$(wait_window '^Select Generals MOD\.\.\.\.$')
shot chooser
press_in "$chooser" Down    # from Blue.big to Maps.big
press_in "$chooser" space   # Maps.big unticked
press_in "$chooser" Tab     # the name box, "Mod Pack" selected
xdotool type --delay 20 "Blue Storm"
shot ticked
press_in "$chooser" Return  # OK
wait_gone "$chooser"
answer_box Escape      # "... Would you like to activate this MOD now?" No
shot installed
[ "$(ls "$game" | sort | tr '\n' '|')" = "__Alpha.bit|__Blue Storm.bit|" ] || fail "unexpected files: $(ls "$game")"
expected='Data\Blue\a.ini Data\Blue\b.ini Data\Storm\a.ini Data\Storm\b.ini '
[ "$(big_mod paths "$game/__Blue Storm.bit" | tr -d '\r' | tr '\n' ' ')" = "$expected" ] ||
    fail "the merged mod holds $(big_mod paths "$game/__Blue Storm.bit" | tr '\n' ' ')"
cmp -s "$WORK/downloads/Mod Pack.zip" "$WORK/as-downloaded.zip" || fail "the archive was changed"

click "$main" 260 275  # "Install A Mod"
answer_box Return      # the introduction: OK
dialog=$(wait_window '^Select Generals MOD\.\.\.\.$')
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool type --delay 20 "$(windows_path "$WORK/downloads")"
xdotool key Return     # into the folder, with the name box emptied
xdotool type --delay 20 '"Blue.big" "Storm.big"'
xdotool key Return
wait_gone "$dialog"
chooser=$(wait_window '^Select Generals MOD\.\.\.\.$')
press_in "$chooser" Return  # both ticked, named after the first
wait_gone "$chooser"
answer_box Escape      # "... Would you like to activate this MOD now?" No
[ "$(big_mod paths "$game/__Blue.bit" | tr -d '\r' | tr '\n' ' ')" = "$expected" ] ||
    fail "the mod of files picked together holds $(big_mod paths "$game/__Blue.bit" 2>&1 | tr '\n' ' ')"

close_and_wait "$main"
echo "PASS $NAME"
