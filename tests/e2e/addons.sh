#!/usr/bin/env bash
# A mod, two add-ons and a patch in the real window: the mod dropped on it
# and activated, the add-ons installed through the Add-ons window's file
# dialog and ticked on and off there, the patch among them. At each step
# the game reads at every path what the authors' own files give; after
# "Deactivate All" the game's files are as they were, and the add-ons' are
# kept beside the mod.
source "$(dirname "$0")/lib.sh"

big_mod() { python3 "$(dirname "$0")/big_mod.py" "$@"; }
mkdir -p "$XDG_CONFIG_HOME/TVL" "$GAME/Data/Scripts" "$WORK/downloads"
big_mod zip "$WORK/INIZH.zip" x 'INIZH.big=Data\INI\A.ini:game'
(cd "$GAME" && unzip -qj "$WORK/INIZH.zip")
echo stock >"$GAME/Data/Scripts/SkirmishScripts.scb"
game=$(tree_hashes "$GAME")
big_mod zip "$WORK/downloads/Base.zip" Base 'Main.big=Data\INI\A.ini:main,Data\INI\B.ini:main,Data\INI\C.ini:main' \
    '!!!!Hotfix.big=Data\INI\A.ini:hotfix'
big_mod zip "$WORK/downloads/HUD.zip" HUD '!!HUD.big=Data\INI\A.ini:hud,Data\INI\B.ini:hud' \
    'Data/Scripts/SkirmishScripts.scb=hud scripts'
big_mod zip "$WORK/downloads/Navy.zip" Navy '!Navy.big=Data\INI\C.ini:navy'
big_mod zip "$WORK/downloads/Patch.zip" Patch '!!!Patch.big=Data\INI\B.ini:patch,Data\INI\C.ini:patch'
printf '[Settings]\nzhmode=0\npath=%s\n' "$GAME" >"$XDG_CONFIG_HOME/TVL/TVL.conf"
reads() {
    big_mod reads "$GAME" 'Data\INI\A.ini' 'Data\INI\B.ini' 'Data\INI\C.ini' 'Data\Scripts\SkirmishScripts.scb' |
        tr '\n' ' '
}
expect_reads() { [ "$(reads)" = "$1" ] || fail "$2: the game reads $(reads)"; }

start_tavrel
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
[ "$("$X_DROP" "$main" "$WORK/downloads/Base.zip")" = accepted ] || fail "the .zip was refused"
chooser=$(wait_window '^Select Generals MOD\.\.\.\.$')
press_in "$chooser" Return   # OK: both archives, under the name the box holds
wait_gone "$chooser"
answer_box Return   # "... Would you like to activate this MOD now?" Yes
answer_box Return   # "MOD __Base activated..."
expect_reads "hotfix main main stock " "the mod alone"

send_key "$main" "ctrl+shift+o"
addons=$(wait_window '^Add-ons\.\.\.$')
install_addon() {  # the download's path, typed into the file dialog
    send_key "$addons" "ctrl+o"
    local dialog
    dialog=$(wait_window '^Select an add-on of MOD __Base\.\.\.\.$')
    # The path goes to the dialog's name box once the dialog has the keyboard.
    for _ in $(seq 300); do
        xdotool windowactivate --sync "$dialog" >/dev/null 2>&1 || xdotool windowfocus --sync "$dialog" >/dev/null 2>&1 || true
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$dialog" ] && break
        sleep 0.1
    done
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$dialog" ] || fail "the file dialog never had the keyboard"
    xdotool type --delay 5 "$1"
    xdotool key Return
    wait_gone "$dialog"
    [ -z "${2:-}" ] || { chooser=$(wait_window '^Select Generals MOD\.\.\.\.$'); press_in "$chooser" Return; wait_gone "$chooser"; }
    answer_box Return   # "Add-on ... of MOD __Base has been successfully installed. It is off until you turn it on."
}
install_addon "$WORK/downloads/HUD.zip" chooser   # an archive and loose scripts: the checklist asks
install_addon "$WORK/downloads/Navy.zip"
click_at "$addons" 20 318   # "Install as a patch"
install_addon "$WORK/downloads/Patch.zip"
expect_reads "hotfix main main stock " "installed, all off"

click_at "$addons" 40 62    # the add-ons' first row: HUD
send_key "$addons" "space"
expect_reads "hotfix hud main hud scripts " "HUD on"
send_key "$addons" "Down space"
expect_reads "hotfix hud navy hud scripts " "HUD and Navy on"
click_at "$addons" 40 203   # the patches' first row: (none)
send_key "$addons" "Down space"
expect_reads "hotfix patch patch hud scripts " "the patch on"
send_key "$addons" "space"
expect_reads "hotfix hud navy hud scripts " "the patch off"
send_key "$addons" Escape
wait_gone "$addons"

send_key "$main" "ctrl+d"
answer_box Return   # "Are you sure you want to de-activate all mods?" Yes
answer_box Return   # "Mod __Base Has Been De-activated..."
[ "$(tree_hashes "$GAME" | grep -v ' \./\.tavrel/' | grep -v ' \./__Base\.bit$')" = "$game" ] ||
    fail "the game's files are not as they were: $(tree_hashes "$GAME")"
holds "$GAME" ".tavrel/__Base/addons/HUD/Data/Scripts/SkirmishScripts.scb" "hud scripts"
[ -f "$GAME/.tavrel/__Base/addons/Patch/_!!!!Patch.big.off" ] || fail "the patch's archive is not kept: $(find "$GAME/.tavrel")"

close_and_wait "$main"
echo "PASS addons"
