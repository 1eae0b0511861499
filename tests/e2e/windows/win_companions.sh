#!/usr/bin/env bash
# A mod as authors ship it, with its AI scripts in an archive, a movie and
# a splash beside its archives, picked in the file dialog and installed
# into a game folder that has its own loose scripts and splash: activated,
# its files are in the game's places and the game's own set aside;
# deactivated, every file of the folder has its bytes as after the install.
source "$(dirname "$0")/lib.sh"

game="$WORK/game"
companions_game "$game" "$WORK/downloads/Storm Pack.zip"
store path "$(windows_path "$game")"
store zhmode 0

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
install_through_dialog "$main" "$WORK/downloads/Storm Pack.zip"
chooser=$(wait_window '^Select Generals MOD\.\.\.\.$')
press_in "$chooser" Return  # OK: both archives, under the name the box holds
wait_gone "$chooser"
answer_box Escape      # "... Kept beside the MOD ... Would you like to activate this MOD now?" No
shot installed
companions_kept "$game"
installed=$(tree_hashes "$game")

click "$main" 30 206   # the list's first entry: the mod
click "$main" 260 210  # Activate Selected
answer_box Return      # "Are you sure you want to activate __Storm Pack MOD?" Yes
answer_box Return      # "MOD __Storm Pack activated..."
answer_box Return      # "Set aside while MOD __Storm Pack is active, ..."
shot activated
companions_placed "$game"

click "$main" 260 232  # Deactivate All
answer_box Return      # "Are you sure you want to de-activate all mods?" Yes
answer_box Return      # "Mod __Storm Pack Has Been De-activated..."
companions_back "$game" "$installed"

close_and_wait "$main"
echo "PASS $NAME"
