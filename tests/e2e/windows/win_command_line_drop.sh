#!/usr/bin/env bash
# tavrel.exe with arguments: the commands on the console, their exit
# statuses and nothing stored; then files dropped on the real window through
# X drag and drop: a text file does nothing, a .big is installed.
source "$(dirname "$0")/lib.sh"

game="$WORK/game"
mkdir -p "$game" "$WORK/downloads"
echo one >"$game/__Alpha.big"
echo two >"$game/__Bravo.bit"
echo storm >"$WORK/downloads/Storm.big"
echo notes >"$WORK/downloads/notes.txt"

# The prefix is the run's: earlier tests' settings go first.
"$WINE" reg delete "$SETTINGS" /f >/dev/null 2>&1 || true

tavrel() { "$WINE" "$TAVREL_EXE" "$@" 2>"$WORK/err" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

[ "$(tavrel --version)" = "tavrel 1.1.1" ] || fail "--version: $(cat "$WORK/err")"
[ "$(tavrel --generals --list --folder "$(windows_path "$game")")" = "$(windows_path "$game")
__Alpha
__Bravo" ] || fail "--list: $(cat "$WORK/err")"
status=0; tavrel --generals --folder "$(windows_path "$game")" --deactivate || status=$?
[ $status = 1 ] || fail "--deactivate without --yes: status $status"
grep -q '^Are you sure you want to de-activate all mods? \[Yes/No\] No' "$WORK/err" || fail "the question: $(cat "$WORK/err")"
status=0; tavrel --generals --frobnicate || status=$?
[ $status = 2 ] || fail "an unknown option: status $status"
tavrel --generals --folder "$(windows_path "$game")" --activate __bravo --yes || fail "--activate: $(cat "$WORK/err")"
[ "$(cat "$game/__Bravo.big")" = two ] && [ "$(cat "$game/__Alpha.bit")" = one ] || fail "not activated: $(ls "$game")"
[ -z "$(stored path)$(stored zhmode)" ] || fail "the command line stored settings"

store path "$(windows_path "$game")"
store zhmode 0
start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')

# The drop cursor refuses a text file and takes a .big. A message about the
# text file would come before the .big's question, and its box would make
# the window refuse the .big.
[ "$("$X_DROP" "$main" "$WORK/downloads/notes.txt")" = refused ] || fail "a text file was taken"
[ "$("$X_DROP" "$main" "$WORK/downloads/Storm.big")" = accepted ] || fail "the .big was refused"
wait_window '^Tavrel$' >/dev/null
[ "$(boxes)" = 1 ] || fail "a text file dragged over showed a message"
answer_box Escape  # "... Would you like to activate this MOD now?" No
shot dropped
[ "$(cat "$game/__Storm.bit")" = storm ] || fail "the dropped mod was not installed: $(ls "$game")"
[ "$(ls "$game" | wc -l)" = 3 ] || fail "unexpected files: $(ls "$game")"

close_and_wait "$main"
echo "PASS $NAME"
