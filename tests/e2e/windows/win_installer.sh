#!/usr/bin/env bash
# The Windows packages: the portable zip holds tavrel.exe; the installer
# runs silently (/S) into Program Files with a Start-menu entry and an
# uninstaller, the installed program starts on a game folder, and the
# silent uninstall removes the program and leaves the user's settings.
# PACKAGES names cpack's folder; CMAKE and WINESERVER come from ctest.
source "$(dirname "$0")/lib.sh"

installer=("$PACKAGES"/tavrel-*-win64.exe)
zip=("$PACKAGES"/tavrel-*-win64.zip)
[ ${#installer[@]} -eq 1 ] && [ -f "${installer[0]}" ] || fail "not exactly one installer: ${installer[*]}"
[ ${#zip[@]} -eq 1 ] && [ -f "${zip[0]}" ] || fail "not exactly one zip: ${zip[*]}"
"$CMAKE" -E tar tf "${zip[0]}" | grep -qx "$(basename "${zip[0]}" .zip)/tavrel.exe" || fail "the zip holds no tavrel.exe"

# Start-menu entries: the user's or all users'.
start_menu() { find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/Tavrel/*' -iname "$1" 2>/dev/null; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrel'

"$WINE" "${installer[0]}" /S >/dev/null 2>&1 || fail "the silent install failed"
program="$WINEPREFIX/drive_c/Program Files/Tavrel"
TAVREL_EXE="$program/tavrel.exe"
[ -f "$TAVREL_EXE" ] || fail "no tavrel.exe in Program Files: $(ls "$WINEPREFIX/drive_c/Program Files"* 2>&1)"
[ -f "$program/Uninstall.exe" ] || fail "no uninstaller"
[ -n "$(start_menu Tavrel.lnk)" ] || fail "no Start-menu entry"
"$WINE" reg query "$uninstall_key" /v UninstallString 2>/dev/null | tr -d '\r' |
  grep -qF 'C:\Program Files\Tavrel\Uninstall.exe' || fail "the uninstaller is not registered"

game="$WORK/game"
mkdir -p "$game"
echo one >"$game/__Alpha.big"
echo two >"$game/__Bravo.big"
store path "$(windows_path "$game")"
store zhmode 0
start_tavrel
answer_box Return  # "More then one MOD has been found! ..." OK
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
shot installed
[ "$(cat "$game/__Bravo.bit")" = two ] || fail "the installed program did not scan the game folder"
close_and_wait "$main"

# The uninstaller copies itself away and runs from there: wait for the prefix.
"$WINE" "$program/Uninstall.exe" /S >/dev/null 2>&1 || fail "the silent uninstall failed"
"$WINESERVER" -w
[ ! -e "$program" ] || fail "the program's folder is still there: $(ls "$program")"
[ -z "$(start_menu '*')" ] || fail "Start-menu entries left: $(start_menu '*')"
! "$WINE" reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstall entry is still there"
[ "$(stored path)" = "$(windows_path "$game")" ] || fail "the uninstall took the settings: '$(stored path)'"
[ "$(stored zhmode)" = 0 ] || fail "the uninstall took the mode"
echo "PASS $NAME"
