# What the end-to-end tests of both programs share: windows found by their
# titles, and waits for them to come and go. Each wait polls for the event
# itself and gives up after 30 seconds. PID is the program's process and
# $WORK/tavrel.log its output.

fail() { echo "FAIL: $*" >&2; exit 1; }

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
        kill -0 "$PID" 2>/dev/null || fail "the program ended early: $(cat "$WORK/tavrel.log")"
        sleep 0.1
    done
    fail "no window named $1"
}

# Waits until the window is no longer on the screen.
wait_gone() {
    for _ in $(seq 300); do
        xdotool search --onlyvisible --name '' 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    fail "window $1 did not go"
}

# Presses a key in the message box titled "Tavrel" that is open now, and
# waits until that box has gone, so that the next box found is a new one.
answer_box() {
    local box
    box=$(wait_window '^Tavrel$')
    press_in "$box" "$1"
    wait_gone "$box"
}

# Gives the window the keyboard and presses keys there, as a user does
# (xdotool's names: "ctrl+shift+t"; several keys one after another: "Tab space").
send_key() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
    # shellcheck disable=SC2086
    xdotool key $2
}

# Clicks at a place of a window's inside, in pixels.
click_at() { xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"; }

# Waits until what a part of a window shows differs from `before` (a hash
# by x_shot --hash WINDOW X Y W H).
wait_repainted() {
    local before=$1
    shift
    for _ in $(seq 300); do
        [ "$("$X_SHOT" --hash "$@")" != "$before" ] && return 0
        sleep 0.1
    done
    fail "window $1 was not painted anew"
}

# Waits until the program has ended after its main window was closed.
wait_ended() {
    for _ in $(seq 300); do
        kill -0 "$PID" 2>/dev/null || return 0
        sleep 0.1
    done
    fail "the program did not end after its window was closed"
}

# A game folder with the game's own loose scripts and splash, and a mod as
# authors ship it beside it (big_mod.py companions): companions_game GAME ZIP.
companions_game() {
    mkdir -p "$1/Data/Scripts" "$(dirname "$2")"
    echo game >"$1/INIZH.big"
    echo "stock skirmish" >"$1/Data/Scripts/SkirmishScripts.scb"
    echo "stock multiplayer" >"$1/Data/Scripts/MultiplayerScripts.scb"
    echo "stock splash" >"$1/Install_Final.bmp"
    python3 "$(dirname "${BASH_SOURCE[0]}")/big_mod.py" companions "$2" "Storm Pack"
}

# Every file below a folder with its bytes' hash, one a line.
tree_hashes() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }

# Fails unless the file FOLDER/PATH holds the line TEXT.
holds() { [ "$(cat "$1/$2" 2>&1)" = "$3" ] || fail "$2 holds '$(cat "$1/$2" 2>&1)', not '$3'"; }

# The mod of companions_game, active in GAME: its files in the game's
# places, the game's own set aside, the rest untouched.
companions_placed() {
    [ -f "$1/__Storm Pack.big" ] || fail "not active: $(ls "$1")"
    holds "$1" "Data/English/Movies/Intro.bik" "mod intro"
    holds "$1" "Data/Scripts/SkirmishScripts.scb" "mod skirmish"
    holds "$1" "Data/Scripts/SkirmishScripts.scb.tavrel" "stock skirmish"
    holds "$1" "Data/Scripts/MultiplayerScripts.scb" "stock multiplayer"
    holds "$1" "Install_Final.bmp" "mod splash"
    holds "$1" "Install_Final.bmp.tavrel" "stock splash"
}

# The same mod installed and inactive: its companions kept beside it.
companions_kept() {
    holds "$1" ".tavrel/__Storm Pack/Data/English/Movies/Intro.bik" "mod intro"
    holds "$1" ".tavrel/__Storm Pack/Data/Scripts/SkirmishScripts.scb" "mod skirmish"
}

# The same mod deactivated in GAME: every file has the bytes it had after
# the install (HASHES, by tree_hashes), and the folder made for the movie
# has gone again.
companions_back() {
    [ "$(tree_hashes "$1")" = "$2" ] || fail "the deactivation left the folder otherwise: $(ls -R "$1")"
    [ ! -d "$1/Data/English" ] || fail "the movie's folder stayed"
}
