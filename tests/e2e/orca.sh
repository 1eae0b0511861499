#!/usr/bin/env bash
# The real program with a real screen reader: Debian's Orca in a session bus
# of its own (dbus-run-session), speaking through a speech-dispatcher that
# this test starts with its dummy voice. What Orca says is read from its
# debug log as it is written, and each step waits for its words there.
# Then every question a screen reader may ask of the folder box's text is
# asked through AT-SPI within a time bound, and the program still answers.
source "$(dirname "$0")/lib.sh"

mkdir -p "$GAME" "$XDG_CONFIG_HOME/TVL" "$XDG_CONFIG_HOME/speech-dispatcher"
echo alpha >"$GAME/__Alpha.big"
echo bravo >"$GAME/__Bravo.bit"
echo charlie >"$GAME/__Charlie.bit"
# An add-on of the active mod, off, as Tavrel keeps one.
hud="$GAME/.tavrel/__Alpha/addons/HUD"
mkdir -p "$hud/Data/INI"
printf 'tavrel addon 1\nkind add-on\nhidden-by-base 0\nend\n' >"$hud/addon.txt"
printf 'tavrel companions 2\nData\\INI\\HUD.ini\nend\n' >"$hud/companions.txt"
: >"$hud/off"
echo hud >"$hud/Data/INI/HUD.ini"
printf '[Settings]\nzhmode=0\npath=%s\n' "$GAME" >"$XDG_CONFIG_HOME/TVL/TVL.conf"
cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<CONF
AddModule "dummy" "sd_dummy" ""
DefaultModule dummy
AudioOutputMethod "alsa"
AudioALSADevice "null"
CONF
LOG="$WORK/orca.log"
SPEECHD=""
ORCA=""
# Orca runs under `script`: its own process goes too, or the next test's
# Orca finds it still running.
trap 's=$?; [ -n "$ORCA" ] && pkill -P "$ORCA" 2>/dev/null; kill $ORCA $SPEECHD "${PID:-}" 2>/dev/null; wait 2>/dev/null
[ $s -ne 0 ] && [ -f "$LOG" ] && grep "SPEECH OUTPUT" "$LOG" | tail -n 30 >&2; rm -rf "$WORK"; exit $s' EXIT

# Speech first: Orca speaks through it from its first word.
speech-dispatcher -s -t 0 -C "$XDG_CONFIG_HOME/speech-dispatcher" >"$WORK/speechd.log" 2>&1 &
SPEECHD=$!
for _ in $(seq 300); do
    [ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] && break
    kill -0 "$SPEECHD" 2>/dev/null || fail "speech-dispatcher ended: $(cat "$WORK/speechd.log")"
    sleep 0.1
done

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
# Orca writes its debug file line by line only to a terminal: `script`
# gives it one, and copies every line to the log as it comes.
# --replace: an Orca of another test that is still ending gives way.
script -qfec "orca --replace -u '$WORK/orca-settings' --debug-file /dev/tty" "$LOG" >"$WORK/orca.out" 2>&1 &
ORCA=$!

spoken=0  # how many of Orca's utterances have been heard
# Waits until Orca says something that holds `words` (fixed text), and takes
# every utterance up to it as heard.
hear() {
    local found
    for _ in $(seq 300); do
        found=$(awk -v from="$spoken" -v words="$1" \
            '/SPEECH OUTPUT: / { n++; if (n > from && index($0, words)) { print n; exit } }' "$LOG" 2>/dev/null || true)
        if [ -n "$found" ]; then
            spoken=$found
            return 0
        fi
        kill -0 "$ORCA" 2>/dev/null || fail "Orca ended: $(cat "$WORK/orca.out"; tail -n 20 "$LOG")"
        sleep 0.1
    done
    fail "Orca never said '$1'; its last words: $(grep "SPEECH OUTPUT" "$LOG" | tail -n 5)"
}
hear "Screen reader on."
grep -q "SPEECH DISPATCHER: Speaking" "$LOG" || fail "Orca does not speak through speech-dispatcher"

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
# The window takes the keyboard once it is on the bus: taken before, Orca
# hears of no change of focus, and so says nothing (seen under the
# sanitizers, whose start is slow).
/usr/bin/python3 "$(dirname "$0")/atspi_client.py" --registered || fail "the window never reached the bus"
xdotool windowfocus --sync "$main"
hear "Generals Folder text."
hear "Command and Conquer Generals."   # the whole path, to its last letter

# Every Tab stop, in order, then round to the folder box; the key of each
# action is spoken with it.
steps=(
  "Tab|Browse... push button"
  "Tab|List with 2 items"
  "|__Bravo, 1 of 2, not selected"
  "Tab|Activate Selected push button Enter in the list"
  "Tab|Deactivate All push button Ctrl+D"
  "Tab|Delete Selected push button delete in the list"  # Orca says key names in lower case
  "Tab|Install A Mod push button Ctrl+O"
  "Tab|View ReadMe File push button F1"
  "Tab|Play push button Ctrl+P"
  "Tab|Add-ons push button Shift+Ctrl+O"  # as Orca orders the modifiers
  "Tab|Next Tip push button Ctrl+T"
  "Tab|Zero Hour Mode check box"
  "Tab|Generals Folder text"
  "ctrl+t|notification Make sure Generals Game is closed completely"
  "ctrl+shift+t|Tools... dialog"
  "|This results in faster loading."
  "|Enable push button"
  "Escape|Tavrel - Generals Mod Manager v1.1.1 frame"
  # The add-ons of the active mod: each one a check box, ticked to turn it on.
  "ctrl+shift+o|Add-ons... dialog"
  "|Add-ons of MOD __Alpha, which is active"
  "|HUD (4 bytes)"
  "space|checked"
  "Escape|Tavrel - Generals Mod Manager v1.1.1 frame"
  "shift+Tab|Zero Hour Mode"
  "shift+Tab|Next Tip"
  "ctrl+t|notification To switch to a new mod"
  # Enter in the list activates; after the questions the list says where
  # the user is.
  "shift+Tab|Add-ons"
  "shift+Tab|Play"
  "shift+Tab|View ReadMe File"
  "shift+Tab|Install A Mod"
  "shift+Tab|Delete Selected"
  "shift+Tab|Deactivate All"
  "shift+Tab|Activate Selected"
  "shift+Tab|__Bravo, 1 of 2, not selected"
  "space|selected"
  "Return|Are you sure you want to activate __Bravo MOD?"
  "Return|De-activated"
  "Return|activated"
  "Return|__Alpha, 1 of 2, not selected"
)
for step in "${steps[@]}"; do
    key=${step%%|*}
    [ -n "$key" ] && xdotool key "$key"
    hear "${step#*|}"
    echo "${key:-then}: ${step#*|}"
done

# The add-on ticked stays on, and went back beside its mod with it.
[ -f "$hud/on" ] && [ "$(cat "$hud/Data/INI/HUD.ini" 2>&1)" = hud ] && [ ! -e "$GAME/Data/INI/HUD.ini" ] ||
    fail "the add-on is not as it should be: $(find "$GAME")"

# Every question about the folder box's text, at every offset.
/usr/bin/python3 "$(dirname "$0")/atspi_client.py" --text-queries "Generals Folder" ||
    fail "a question about the folder box's text went unanswered"
echo "PASS orca"
