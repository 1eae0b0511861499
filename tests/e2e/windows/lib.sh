# Helpers for the end-to-end tests of tavrel.exe under Wine in a virtual X
# display, driven with xdotool. Sourced by the test scripts; TAVREL_EXE,
# WINE, WINESERVER, WINEPREFIX, X_CLOSE, X_SHOT and SHOTS come from ctest.
set -euo pipefail

WORK=$(mktemp -d)
NAME=$(basename "$0" .sh)
trap 's=$?; shot end; [ -n "${PID:-}" ] && kill "$PID" 2>/dev/null || true; rm -rf "$WORK"; exit $s' EXIT
SETTINGS='HKCU\Software\VB and VBA Program Settings\TVL\Settings'
mkdir -p "$SHOTS"

fail() { echo "FAIL: $*" >&2; exit 1; }

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

# Waits for a visible window whose title matches the regular expression and
# prints its id.
wait_window() {
    local id
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$PID" 2>/dev/null || fail "tavrel.exe ended early: $(cat "$WORK/tavrel.log")"
        sleep 0.1
    done
    fail "no window named $1"
}

# The number of visible message boxes ("Tavrel") open now.
boxes() { xdotool search --onlyvisible --name '^Tavrel$' 2>/dev/null | wc -l; }

# Presses a key in the message box that is open now, and waits for it to go.
answer_box() {
    local box
    box=$(wait_window '^Tavrel$')
    xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key --window "$box" "$1"
    for _ in $(seq 50); do
        xdotool getwindowname "$box" >/dev/null 2>&1 || break
        [ -z "$(xdotool search --onlyvisible --name '^Tavrel$' 2>/dev/null | grep -x "$box")" ] && break
        sleep 0.1
    done
    sleep 0.3
}

# Clicks at a place of a window's inside, in pixels.
click() { xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"; sleep 0.3; }

close_and_wait() {
    "$X_CLOSE" "$1"
    for _ in $(seq 100); do
        kill -0 "$PID" 2>/dev/null || { wait "$PID" || true; return 0; }
        sleep 0.1
    done
    fail "tavrel.exe did not end after its window was closed"
}
