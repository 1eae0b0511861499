#!/usr/bin/env bash
# The real program's command line, parsed by Qt, on a terminal without a
# display: options in any order, the exit statuses, and nothing stored.
source "$(dirname "$0")/lib.sh"
unset DISPLAY WAYLAND_DISPLAY

mkdir -p "$GAME" "$WORK/downloads"
echo alpha >"$GAME/__Alpha.big"
echo storm >"$WORK/downloads/Storm.big"

[ "$("$TAVREL" --version)" = "tavrel 1.1.1" ] || fail "--version"
"$TAVREL" --help | grep -q '^Usage: tavrel \[OPTION\]\.\.\. COMMAND$' || fail "--help"

status=0; "$TAVREL" --frobnicate 2>"$WORK/err" || status=$?
[ $status = 2 ] && grep -q "^Try 'tavrel --help' for more information.$" "$WORK/err" || fail "an unknown option: $status"
status=0; "$TAVREL" --folder 2>/dev/null || status=$?
[ $status = 2 ] || fail "--folder without its value: $status"

# FILE before, --activate after; the folder as --folder=PATH.
"$TAVREL" --install "$WORK/downloads/Storm.big" --generals --activate --folder="$GAME" 2>"$WORK/err" ||
    fail "install and activate: $(cat "$WORK/err")"
[ "$(cat "$GAME/__Storm.big")" = storm ] && [ "$(cat "$GAME/__Alpha.bit")" = alpha ] || fail "not installed: $(ls "$GAME")"

[ "$("$TAVREL" --generals --folder "$GAME" --list)" = "$GAME
__Storm
__Alpha" ] || fail "--list: $("$TAVREL" --generals --folder "$GAME" --list)"

[ ! -e "$XDG_CONFIG_HOME/TVL" ] || fail "settings were stored: $(ls -R "$XDG_CONFIG_HOME")"
echo "PASS command_line"
