#!/usr/bin/env bash
# A mod as authors ship it, with its AI scripts in an archive, a movie and
# a splash beside its archives, installed by a drop on the window into a
# game folder that has its own loose scripts and splash: activated, its
# files are in the game's places and the game's own set aside; deactivated
# (Ctrl+D), every file of the folder has its bytes as after the install.
source "$(dirname "$0")/lib.sh"

mkdir -p "$XDG_CONFIG_HOME/TVL"
companions_game "$GAME" "$WORK/downloads/Storm Pack.zip"
printf '[Settings]\nzhmode=0\npath=%s\n' "$GAME" >"$XDG_CONFIG_HOME/TVL/TVL.conf"

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
[ "$("$X_DROP" "$main" "$WORK/downloads/Storm Pack.zip")" = accepted ] || fail "the .zip was refused"
chooser=$(wait_window '^Select Generals MOD\.\.\.\.$')
press_in "$chooser" Return   # OK: both archives, under the name the box holds
wait_gone "$chooser"
answer_box Escape   # "... Kept beside the MOD ... Would you like to activate this MOD now?" No
companions_kept "$GAME"
installed=$(tree_hashes "$GAME")

click_at "$main" 30 206   # the list's first row: the mod
send_key "$main" Return   # Activate Selected
answer_box Return         # "Are you sure you want to activate __Storm Pack MOD?" Yes
answer_box Return         # "MOD __Storm Pack activated..."
answer_box Return         # "Set aside while MOD __Storm Pack is active, ..."
companions_placed "$GAME"

send_key "$main" "ctrl+d"   # Deactivate All
answer_box Return   # "Are you sure you want to de-activate all mods?" Yes
answer_box Return   # "Mod __Storm Pack Has Been De-activated..."
companions_back "$GAME" "$installed"

# A movie the mod put in place is deleted by hand (a cleaner, to save room):
# "Deactivate All" still ends, tells what is gone, and asks nothing more.
click_at "$main" 30 206
send_key "$main" Return   # Activate Selected
answer_box Return         # "Are you sure you want to activate __Storm Pack MOD?" Yes
answer_box Return         # "MOD __Storm Pack activated..."
answer_box Return         # "Set aside while MOD __Storm Pack is active, ..."
rm "$GAME/Data/English/Movies/Intro.bik"
send_key "$main" "ctrl+d"
answer_box Return   # "Are you sure you want to de-activate all mods?" Yes
answer_box Return   # "Mod __Storm Pack Has Been De-activated..."
answer_box Return   # "These files of MOD __Storm Pack were gone from the game folder: ..."
[ -f "$GAME/__Storm Pack.bit" ] || fail "still active: $(ls "$GAME")"
holds "$GAME" "Data/Scripts/SkirmishScripts.scb" "stock skirmish"
holds "$GAME" "Install_Final.bmp" "stock splash"
grep -q "^missing" "$GAME/.tavrel/__Storm Pack/companions.txt" || fail "the movie is not marked lost"

close_and_wait "$main"
echo "PASS companions"
