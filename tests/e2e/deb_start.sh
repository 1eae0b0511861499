#!/usr/bin/env bash
# The program unpacked from the .deb (DEB_FOLDER) into a root of its own
# starts on a prepared game folder: it scans it (two active mods: the
# several-mods question, and the second one deactivated), and its window
# carries the class the desktop entry names, so the desktop shows the
# entry's icon for it.
source "$(dirname "$0")/lib.sh"

root="$WORK/root"
dpkg-deb -x "$DEB_FOLDER"/tavrel_*.deb "$root"
TAVREL="$root/usr/bin/tavrel"
desktop="$root/usr/share/applications/io.github.tavrel.Tavrel.desktop"

mkdir -p "$GAME" "$XDG_CONFIG_HOME/TVL"
echo one >"$GAME/__Alpha.big"
echo two >"$GAME/__Bravo.big"
echo three >"$GAME/Charlie.bit"
printf '[Settings]\nzhmode=0\npath=%s\n' "$GAME" >"$XDG_CONFIG_HOME/TVL/TVL.conf"

start_tavrel
answer_box Return   # "More then one MOD has been found! ..." OK
main=$(wait_window '^Tavrel - Generals Mod Manager v1\.1\.1$')
[ "$(cat "$GAME/__Bravo.bit")" = two ] || fail "the scan did not deactivate the second mod"
[ -f "$GAME/__Alpha.big" ] || fail "the first mod is no longer active"

# On X11 the desktop matches a window to its entry by the window's class
# (under Wayland by the application id, which is the entry's name).
class=$(xprop -id "$main" WM_CLASS | sed -n 's/.*, "\(.*\)"$/\1/p')
[ -n "$class" ] && [ "$class" = "$(sed -n 's/^StartupWMClass=//p' "$desktop")" ] ||
  fail "the window's class '$class' is not the entry's"
[ -n "${SHOTS:-}" ] && { mkdir -p "$SHOTS"; "$X_SHOT" "$SHOTS/deb_start.png" || true; }

close_and_wait "$main"
echo "PASS deb_start"
