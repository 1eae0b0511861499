#!/usr/bin/env bash
# tavrel.exe on the command line with a mod, two add-ons and a patch, as
# players install them: turned on and off while the mod is active, the
# game reads at each path what the authors' own files give; deactivated,
# every file of the folder has its bytes as before.
source "$(dirname "$0")/lib.sh"

game="$WORK/game" downloads="$WORK/downloads"
mkdir -p "$game/Data/Scripts" "$downloads"
big_mod() { python3 "$(dirname "$0")/../big_mod.py" "$@"; }
big_mod zip "$game/INIZH.zip" x 'INIZH.big=Data\INI\A.ini:game'
(cd "$game" && unzip -qj INIZH.zip && rm INIZH.zip)
echo stock >"$game/Data/Scripts/SkirmishScripts.scb"
big_mod zip "$downloads/Base.zip" Base 'Main.big=Data\INI\A.ini:main,Data\INI\B.ini:main,Data\INI\C.ini:main' \
    '!!!!Hotfix.big=Data\INI\A.ini:hotfix'
big_mod zip "$downloads/HUD.zip" HUD '!!HUD.big=Data\INI\A.ini:hud,Data\INI\B.ini:hud' \
    'Data/Scripts/SkirmishScripts.scb=hud scripts'
big_mod zip "$downloads/Navy.zip" Navy '!Navy.big=Data\INI\C.ini:navy'
big_mod zip "$downloads/Patch.zip" Patch '!!!Patch.big=Data\INI\B.ini:patch,Data\INI\C.ini:patch'

"$WINE" reg delete "$SETTINGS" /f >/dev/null 2>&1 || true
tavrel() {
    "$WINE" "$TAVREL_EXE" --generals --folder "$(windows_path "$game")" "$@" 2>"$WORK/err" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}
reads() {  # what the game reads at A, B, C and the skirmish scripts
    big_mod reads "$game" 'Data\INI\A.ini' 'Data\INI\B.ini' 'Data\INI\C.ini' 'Data\Scripts\SkirmishScripts.scb' |
        tr '\n' ' '
}

tavrel --install "$(windows_path "$downloads/Base.zip")" --name Base || fail "install: $(cat "$WORK/err")"
tavrel --install "$(windows_path "$downloads/HUD.zip")" --addon-of __Base || fail "HUD: $(cat "$WORK/err")"
tavrel --install "$(windows_path "$downloads/Navy.zip")" --addon-of __base || fail "Navy: $(cat "$WORK/err")"
tavrel --install "$(windows_path "$downloads/Patch.zip")" --addon-of __Base --patch || fail "patch: $(cat "$WORK/err")"
tavrel --addon-on __Base HUD && tavrel --addon-on __Base navy || fail "on while inactive: $(cat "$WORK/err")"
[ "$(reads)" = "game <none> <none> stock " ] || fail "read while inactive: $(reads)"
inactive=$(tree_hashes "$game")

tavrel --activate __Base --yes || fail "activate: $(cat "$WORK/err")"
# The mod's later hotfix over the HUD's older archive, the HUD over the mod.
[ "$(reads)" = "hotfix hud navy hud scripts " ] || fail "with HUD and Navy: $(reads)"
tavrel --addon-on __Base Patch || fail "patch on: $(cat "$WORK/err")"
[ "$(reads)" = "hotfix patch patch hud scripts " ] || fail "with the patch: $(reads)"
[ "$(tavrel --addons __Base)" = "$(printf 'on\tadd-on\tHUD\t2\non\tadd-on\tNavy\t1\non\tpatch\tPatch\t0')" ] ||
    fail "--addons: $(tavrel --addons __Base | cat -A)"
tavrel --addon-off __Base Patch || fail "patch off: $(cat "$WORK/err")"
[ "$(reads)" = "hotfix hud navy hud scripts " ] || fail "the patch off: $(reads)"

tavrel --deactivate --yes || fail "deactivate: $(cat "$WORK/err")"
[ "$(tree_hashes "$game")" = "$inactive" ] || fail "not as before: $(diff <(echo "$inactive") <(tree_hashes "$game"))"
echo "PASS $NAME"
