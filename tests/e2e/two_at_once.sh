#!/usr/bin/env bash
# Two Tavrels on one game folder at once, as a window and a launch script
# meet there: the real program started twice together, a hundred times,
# each pair switching the mods another way. Every run ends in bounded
# time, the folder never holds two active mods, and every file keeps its
# bytes (they only ever move by rename), whichever of the two went first.
source "$(dirname "$0")/lib.sh"
unset DISPLAY WAYLAND_DISPLAY

mkdir -p "$GAME"
companions_game "$GAME" "$WORK/downloads/Storm Pack.zip"
echo alpha >"$GAME/__Alpha.bit"
"$TAVREL" --generals --folder "$GAME" --install "$WORK/downloads/Storm Pack.zip" 2>"$WORK/err" ||
    fail "install: $(cat "$WORK/err")"

# The bytes of every file, whatever its name: they only ever move.
bytes_of_files() { (cd "$1" && find . -type f ! -path './.tavrel/*.txt' -print0 | xargs -0 sha256sum | cut -d' ' -f1 | sort); }
before=$(bytes_of_files "$GAME")

# One of three changes, by the real program; the pair's other one may hold
# the folder meanwhile, and --yes waits for it.
change() {
    local how=(--activate __Alpha)
    [ "$1" = 1 ] && how=(--activate "__Storm Pack")
    [ "$1" = 2 ] && how=(--deactivate)
    timeout 60 "$TAVREL" --generals --folder "$GAME" --yes "${how[@]}" >/dev/null 2>>"$WORK/runs"
}
deadline=$((SECONDS + 600))
for i in $(seq 100); do
    [ $SECONDS -lt $deadline ] || fail "a hundred pairs took longer than ten minutes (pair $i)"
    change $((i % 3)) & a=$!
    change $(((i / 3) % 3)) & b=$!
    status_a=0; wait $a || status_a=$?
    status_b=0; wait $b || status_b=$?
    [ $status_a -le 1 ] && [ $status_b -le 1 ] || fail "pair $i: exit statuses $status_a and $status_b"
    active=$(find "$GAME" -maxdepth 1 -name '__*.big' | wc -l)
    [ "$active" -le 1 ] || fail "pair $i left $active active mods: $(ls "$GAME")"
    [ "$(bytes_of_files "$GAME")" = "$before" ] || fail "pair $i changed the bytes of a file: $(ls -R "$GAME")"
    [ ! -e "$GAME/.tavrel/lock" ] && [ ! -e "$GAME/.tavrel/journal.txt" ] || fail "pair $i left its lock or journal"
done
echo "PASS two_at_once"
