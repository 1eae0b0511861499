#!/usr/bin/env bash
# A file dropped on the window through X drag and drop: a text file is
# refused by the drag, a .big is installed and, as offered, activated; a
# .zip of two .big files asks which to install in the checklist, and the
# one left ticked is installed under its own name, byte for byte.
source "$(dirname "$0")/lib.sh"

mkdir -p "$GAME" "$XDG_CONFIG_HOME/TVL" "$WORK/downloads"
echo alpha >"$GAME/__Alpha.big"
echo storm >"$WORK/downloads/Storm.big"
echo notes >"$WORK/downloads/notes.txt"
big_mod() { python3 "$(dirname "$0")/big_mod.py" "$@"; }
big_mod pack "$WORK/downloads/Storm Pack.zip" "Storm Pack" Maps.big Units.big
printf '[Settings]\nzhmode=0\npath=%s\n' "$GAME" >"$XDG_CONFIG_HOME/TVL/TVL.conf"

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')

[ "$("$X_DROP" "$main" "$WORK/downloads/notes.txt")" = refused ] || fail "a text file was taken"
[ "$("$X_DROP" "$main" "$WORK/downloads/Storm.big")" = accepted ] || fail "the .big was refused"
answer_box Return   # "MOD (Storm.big) has been successfully installed. ... activate this MOD now?" Yes
answer_box Return   # "Mod __Alpha Has Been De-activated..."
answer_box Return   # "MOD __Storm activated..."

[ "$(cat "$GAME/__Storm.big")" = storm ] || fail "the dropped mod is not active: $(ls "$GAME")"
[ "$(cat "$GAME/__Alpha.bit")" = alpha ] || fail "the old mod was not deactivated: $(ls "$GAME")"
[ "$(ls "$GAME" | wc -l)" = 2 ] || fail "unexpected files: $(ls "$GAME")"
[ -f "$WORK/downloads/Storm.big" ] || fail "the dropped file was moved"

[ "$("$X_DROP" "$main" "$WORK/downloads/Storm Pack.zip")" = accepted ] || fail "the .zip was refused"
chooser=$(wait_window '^Select Generals MOD\.\.\.\.$')
press_in "$chooser" space    # the first row, Maps.big, has the focus: unticked
press_in "$chooser" Return   # OK, under the name the box holds
wait_gone "$chooser"
answer_box Escape   # "MOD (Units.big) has been successfully installed. ... activate this MOD now?" No
big_mod member "$WORK/downloads/Storm Pack.zip" Units.big >"$WORK/Units.big"
cmp -s "$GAME/__Units.bit" "$WORK/Units.big" || fail "Units.big was not installed as it is: $(ls "$GAME")"
[ "$(ls "$GAME" | wc -l)" = 3 ] || fail "unexpected files: $(ls "$GAME")"

close_and_wait "$main"
echo "PASS drop_install"
