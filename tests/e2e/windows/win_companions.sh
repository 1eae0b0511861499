#!/usr/bin/env bash
# A mod as authors ship it, with its AI scripts in an archive, a movie and
# a splash beside its archives, picked in the file dialog and installed
# into a game folder that has its own loose scripts and splash: activated,
# its files are in the game's places and the game's own set aside;
# deactivated, every file of the folder has its bytes as after the install.
source "$(dirname "$0")/lib.sh"

game="$WORK/game"
mkdir -p "$game/Data/Scripts" "$WORK/downloads"
echo game >"$game/INIZH.big"
echo "stock skirmish" >"$game/Data/Scripts/SkirmishScripts.scb"
echo "stock multiplayer" >"$game/Data/Scripts/MultiplayerScripts.scb"
echo "stock splash" >"$game/Install_Final.bmp"
python3 "$(dirname "$0")/../big_mod.py" companions "$WORK/downloads/Storm Pack.zip" "Storm Pack"
store path "$(windows_path "$game")"
store zhmode 0
# Every file below the game folder with its bytes' hash, one a line.
files() { (cd "$game" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
bytes() { [ "$(cat "$game/$1")" = "$2" ] || fail "$1 holds '$(cat "$game/$1" 2>&1)', not '$2'"; }

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
click "$main" 260 275  # "Install A Mod"
answer_box Return      # the introduction: OK
dialog=$(wait_window '^Select Generals MOD\.\.\.\.$')
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool type --delay 20 "$(windows_path "$WORK/downloads/Storm Pack.zip")"
xdotool key Return
wait_gone "$dialog"
chooser=$(wait_window '^Select Generals MOD\.\.\.\.$')
press_in "$chooser" Return  # OK: both archives, under the name the box holds
wait_gone "$chooser"
answer_box Escape      # "... Kept beside the MOD ... Would you like to activate this MOD now?" No
shot installed
bytes ".tavrel/__Storm Pack/Data/English/Movies/Intro.bik" "mod intro"
bytes ".tavrel/__Storm Pack/Data/Scripts/SkirmishScripts.scb" "mod skirmish"
installed=$(files)

click "$main" 30 206   # the list's first entry: the mod
click "$main" 260 210  # Activate Selected
answer_box Return      # "Are you sure you want to activate __Storm Pack MOD?" Yes
answer_box Return      # "MOD __Storm Pack activated..."
answer_box Return      # "Set aside while MOD __Storm Pack is active, ..."
shot activated
[ -f "$game/__Storm Pack.big" ] || fail "not active: $(ls "$game")"
bytes "Data/English/Movies/Intro.bik" "mod intro"
bytes "Data/Scripts/SkirmishScripts.scb" "mod skirmish"
bytes "Data/Scripts/SkirmishScripts.scb.tavrel" "stock skirmish"
bytes "Data/Scripts/MultiplayerScripts.scb" "stock multiplayer"
bytes "Install_Final.bmp" "mod splash"
bytes "Install_Final.bmp.tavrel" "stock splash"

click "$main" 260 232  # Deactivate All
answer_box Return      # "Are you sure you want to de-activate all mods?" Yes
answer_box Return      # "Mod __Storm Pack Has Been De-activated..."
[ "$(files)" = "$installed" ] || fail "the deactivation left the folder otherwise: $(diff <(echo "$installed") <(files))"
[ ! -d "$game/Data/English" ] || fail "the movie's folder stayed"

close_and_wait "$main"
echo "PASS $NAME"
