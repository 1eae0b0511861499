# Helpers for the end-to-end tests: the real program in a real X window,
# driven with xdotool. Sourced by the test scripts; TAVREL and X_CLOSE name
# the binaries.
set -euo pipefail

WORK=$(mktemp -d)
trap 's=$?; [ -n "${PID:-}" ] && kill "$PID" 2>/dev/null || true; [ $s -ne 0 ] && [ -f "$WORK/tavrel.log" ] && { echo "--- tavrel output:" >&2; cat "$WORK/tavrel.log" >&2; }; rm -rf "$WORK"' EXIT
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" PROGRAMFILES="$WORK/pf"
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
GAME="$PROGRAMFILES/EA Games/Command and Conquer Generals"

fail() { echo "FAIL: $*" >&2; exit 1; }

start_tavrel() {
    "$TAVREL" >"$WORK/tavrel.log" 2>&1 &
    PID=$!
}

# Waits for a visible window whose title matches the regular expression,
# gives it the keyboard and prints its id.
wait_window() {
    local id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
        if [ -n "$id" ]; then
            xdotool windowfocus --sync "$id" >/dev/null 2>&1 || true
            echo "$id"
            return 0
        fi
        kill -0 "$PID" 2>/dev/null || fail "tavrel ended early: $(cat "$WORK/tavrel.log")"
        sleep 0.1
    done
    fail "no window named $1"
}

# Presses a key in the message box titled "Tavrel" that is open now, and
# waits until that box has gone, so that the next one found is a new one.
answer_box() {
    local box
    box=$(wait_window '^Tavrel$')
    xdotool key "$1"
    wait_gone "$box"
}

# Waits until the window is no longer on the screen.
wait_gone() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name '' 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    fail "window $1 did not go"
}

close_and_wait() {
    "$X_CLOSE" "$1"
    for _ in $(seq 100); do
        kill -0 "$PID" 2>/dev/null || { wait "$PID"; return $?; }
        sleep 0.1
    done
    fail "tavrel did not end after its window was closed"
}

setting() { sed -n "s/^$1=//p" "$XDG_CONFIG_HOME/TVL/TVL.conf"; }
