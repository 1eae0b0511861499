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

source "$(dirname "${BASH_SOURCE[0]}")/x_helpers.sh"

start_tavrel() {
    "$TAVREL" >"$WORK/tavrel.log" 2>&1 &
    PID=$!
}

# Presses a key in a window: the keyboard goes to it first.
press_in() {
    xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
    xdotool key "$2"
}

close_and_wait() {
    "$X_CLOSE" "$1"
    wait_ended
    wait "$PID"
}

setting() { sed -n "s/^$1=//p" "$XDG_CONFIG_HOME/TVL/TVL.conf"; }
