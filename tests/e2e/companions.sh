#!/usr/bin/env bash
# A mod as authors ship it, with its AI scripts in an archive, a movie and
# a splash beside its archives, installed by a drop on the window into a
# game folder that has its own loose scripts and splash: activated, its
# files are in the game's places and the game's own set aside; deactivated
# (Ctrl+D), every file of the folder has its bytes as after the install.
source "$(dirname "$0")/lib.sh"

mkdir -p "$GAME/Data/Scripts" "$XDG_CONFIG_HOME/TVL" "$WORK/downloads"
echo game >"$GAME/INIZH.big"
echo "stock skirmish" >"$GAME/Data/Scripts/SkirmishScripts.scb"
echo "stock multiplayer" >"$GAME/Data/Scripts/MultiplayerScripts.scb"
echo "stock splash" >"$GAME/Install_Final.bmp"
python3 "$(dirname "$0")/big_mod.py" companions "$WORK/downloads/Storm Pack.zip" "Storm Pack"
printf '[Settings]\nzhmode=0\npath=%s\n' "$GAME" >"$XDG_CONFIG_HOME/TVL/TVL.conf"
# Every file below the game folder with its bytes' hash, one a line.
files() { (cd "$GAME" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
bytes() { [ "$(cat "$GAME/$1")" = "$2" ] || fail "$1 holds '$(cat "$GAME/$1" 2>&1)', not '$2'"; }

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
[ "$("$X_DROP" "$main" "$WORK/downloads/Storm Pack.zip")" = accepted ] || fail "the .zip was refused"
chooser=$(wait_window '^Select Generals MOD\.\.\.\.$')
press_in "$chooser" Return   # OK: both archives, under the name the box holds
wait_gone "$chooser"
answer_box Escape   # "... Kept beside the MOD ... Would you like to activate this MOD now?" No
bytes ".tavrel/__Storm Pack/Data/English/Movies/Intro.bik" "mod intro"
bytes ".tavrel/__Storm Pack/Data/Scripts/SkirmishScripts.scb" "mod skirmish"
installed=$(files)

click_at "$main" 30 206   # the list's first row: the mod
send_key "$main" Return   # Activate Selected
answer_box Return         # "Are you sure you want to activate __Storm Pack MOD?" Yes
answer_box Return         # "MOD __Storm Pack activated..."
answer_box Return         # "Set aside while MOD __Storm Pack is active, ..."
[ -f "$GAME/__Storm Pack.big" ] || fail "not active: $(ls "$GAME")"
bytes "Data/English/Movies/Intro.bik" "mod intro"
bytes "Data/Scripts/SkirmishScripts.scb" "mod skirmish"
bytes "Data/Scripts/SkirmishScripts.scb.tavrel" "stock skirmish"
bytes "Data/Scripts/MultiplayerScripts.scb" "stock multiplayer"
bytes "Install_Final.bmp" "mod splash"
bytes "Install_Final.bmp.tavrel" "stock splash"

send_key "$main" "ctrl+d"   # Deactivate All
answer_box Return   # "Are you sure you want to de-activate all mods?" Yes
answer_box Return   # "Mod __Storm Pack Has Been De-activated..."
[ "$(files)" = "$installed" ] || fail "the deactivation left the folder otherwise: $(diff <(echo "$installed") <(files))"
[ ! -d "$GAME/Data/English" ] || fail "the movie's folder stayed"

close_and_wait "$main"
echo "PASS companions"
