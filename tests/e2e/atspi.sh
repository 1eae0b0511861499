#!/usr/bin/env bash
# The real program with a real assistive-technology stack: in a session bus
# of its own (dbus-run-session), with AT-SPI on, a client that sees only what
# a screen reader sees (atspi_client.py, with Debian's python3-pyatspi)
# finds "Activate Selected", selects a mod, presses the button, answers the
# questions and reads the active mod; then the files are checked.
source "$(dirname "$0")/lib.sh"

mkdir -p "$GAME" "$XDG_CONFIG_HOME/TVL"
echo alpha >"$GAME/__Alpha.big"
echo bravo >"$GAME/__Bravo.bit"
printf '[Settings]\nzhmode=0\npath=%s\n' "$GAME" >"$XDG_CONFIG_HOME/TVL/TVL.conf"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
start_tavrel
wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$' >/dev/null

said=$(/usr/bin/python3 "$(dirname "$0")/atspi_client.py" __Bravo) || fail "the AT-SPI client failed: $said"
echo "$said"
grep -qx 'Are you sure you want to activate __Bravo MOD?' <<<"$said" || fail "no question through AT-SPI: $said"
[ "$(tail -n 1 <<<"$said")" = "Current Active Mod: __Bravo" ] || fail "the active mod reads '$(tail -n 1 <<<"$said")'"
[ "$(cat "$GAME/__Bravo.big")" = bravo ] || fail "the mod was not activated: $(ls "$GAME")"
[ "$(cat "$GAME/__Alpha.bit")" = alpha ] || fail "the old mod was not deactivated: $(ls "$GAME")"
echo "PASS atspi"
