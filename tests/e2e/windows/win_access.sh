#!/usr/bin/env bash
# tavrel.exe as a screen reader sees it through MSAA (msaa_client, another
# program): the label-buttons are push buttons named by their captions with
# the default action "Press", the boxes are named by the labels before them,
# the active mod reads as a sentence; "Deactivate All" pressed that way
# asks and deactivates. MSAA_CLIENT names the client.
source "$(dirname "$0")/lib.sh"

game="$WORK/game"
mkdir -p "$game"
echo alpha >"$game/__Alpha.big"
echo bravo >"$game/__Bravo.bit"
store path "$(windows_path "$game")"
store zhmode 0
title='Tavrel - Generals Mod Manager v1.1.1'
read_window() { "$WINE" "$MSAA_CLIENT" "$title" list | tr -d '\r'; }

start_tavrel
main=$(wait_window "^${title//./\\.}$")
seen=$(read_window) || fail "no accessible objects: $seen"
echo "$seen"
# Each action with its key as the shortcut a screen reader names.
for button in "Activate Selected|Enter in the list" "Deactivate All|Ctrl+D" "Delete Selected|Delete in the list" "Install A Mod|Ctrl+O" \
    "View ReadMe File|F1" "Play|Ctrl+P" "Add-ons|Ctrl+Shift+O" "Next Tip|Ctrl+T"; do
    grep -qxF "43	${button%|*}	Press	${button#*|}" <<<"$seen" || fail "no push button '$button' with Press"
done
grep -qF "	Generals Folder	" <<<"$seen" || fail "the folder box has no name"
grep -qF "	Currently Installed Mods	" <<<"$seen" || fail "the list has no name"
grep -qxF "10	Current Active Mod: __Alpha		" <<<"$seen" || fail "the active mod does not read as a sentence"
! grep -qE "^[0-9]+			$|	Current Active Mod:	" <<<"$seen" || fail "decorations or the active mod's caption are shown"
grep -qE "^23	Warning! " <<<"$seen" || fail "the tip line is no status text"

"$WINE" "$MSAA_CLIENT" "$title" press "Deactivate All" || fail "no default action"
answer_box Return  # "Are you sure you want to de-activate all mods?" Yes
answer_box Return  # "Mod __Alpha Has Been De-activated..."
[ "$(cat "$game/__Alpha.bit")" = alpha ] || fail "__Alpha was not deactivated: $(ls "$game")"
grep -qxF "10	Current Active Mod: none		" <<<"$(read_window)" || fail "the active mod does not read 'none'"

# The Tools window is a dialog that says what it is for.
send_key "$main" ctrl+shift+t
tools=$(wait_window '^Tools\.\.\.$')
[ "$("$WINE" "$MSAA_CLIENT" "Tools..." window | tr -d '\r')" = \
  "18	Disable the startup \"EA Games, Challenge Everything\" screen and the \"World Leaders\" screen. This results in faster loading." ] ||
    fail "the Tools window does not describe itself"
send_key "$tools" Escape
wait_gone "$tools"

# So is the Add-ons window; its checklists are named as the labels above them say.
send_key "$main" ctrl+shift+o
addons=$(wait_window '^Add-ons\.\.\.$')
[ "$("$WINE" "$MSAA_CLIENT" "Add-ons..." window | tr -d '\r')" = \
  "18	No MOD is selected or active: select one in the list of the main window, then open this window again." ] ||
    fail "the Add-ons window does not describe itself: $("$WINE" "$MSAA_CLIENT" "Add-ons..." window)"
seen=$("$WINE" "$MSAA_CLIENT" "Add-ons..." list | tr -d '\r')
grep -qF "	Add-ons	" <<<"$seen" && grep -qF "	Patch	" <<<"$seen" || fail "the checklists have no names: $seen"
send_key "$addons" Escape
wait_gone "$addons"

close_and_wait "$main"
echo "PASS $NAME"
