# Helpers for the end-to-end tests of tavrel.exe under Wine in a virtual X
# display, driven with xdotool. Sourced by the test scripts; TAVREL_EXE,
# WINE, WINESERVER, WINEPREFIX, X_CLOSE, X_SHOT and SHOTS come from ctest.
set -euo pipefail

WORK=$(mktemp -d)
NAME=$(basename "$0" .sh)
trap 's=$?; shot end; [ -n "${PID:-}" ] && kill "$PID" 2>/dev/null || true; rm -rf "$WORK"; exit $s' EXIT
SETTINGS='HKCU\Software\VB and VBA Program Settings\TVL\Settings'
mkdir -p "$SHOTS"

source "$(dirname "${BASH_SOURCE[0]}")/../x_helpers.sh"

# The Windows path of a Linux one: Wine's drive Z: is the root.
windows_path() { echo "Z:${1//\//\\}"; }

# Saves the screen as SHOTS/NAME-STEP.png.
shot() { "$X_SHOT" "$SHOTS/$NAME-$1.png" 2>/dev/null || true; }

# The stored settings: set one, or print one.
store() { "$WINE" reg add "$SETTINGS" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1; }
stored() {
    "$WINE" reg query "$SETTINGS" /v "$1" 2>/dev/null | tr -d '\r' |
        sed -nE "s/^ *$1 +REG_SZ +(.*)$/\1/p"
}

start_tavrel() {
    "$WINE" "$TAVREL_EXE" >"$WORK/tavrel.log" 2>&1 &
    PID=$!
}

# The number of visible message boxes ("Tavrel") open now.
boxes() { xdotool search --onlyvisible --name '^Tavrel$' 2>/dev/null | wc -l; }

# Presses a key in a window: Wine takes it sent to the window itself.
press_in() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key --window "$1" "$2"
}

# Clicks at a place of a window's inside, in pixels. The program takes its
# input in order, so the next step needs no pause.
click() { xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"; }

close_and_wait() {
    "$X_CLOSE" "$1"
    wait_ended
    wait "$PID" || true
}

# "Install A Mod" with FILE typed into the file dialog: the introduction
# answered, the dialog gone once the file is taken.
install_through_dialog() {
    local dialog
    click "$1" 260 275  # "Install A Mod"
    answer_box Return   # the introduction: OK
    dialog=$(wait_window '^Select Generals MOD\.\.\.\.$')
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    xdotool type --delay 20 "$(windows_path "$2")"
    xdotool key Return
    wait_gone "$dialog"
}
