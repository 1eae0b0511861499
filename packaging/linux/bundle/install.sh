#!/bin/sh
# Puts Tavrel in this user's menu: the entry and its icon under
# ~/.local/share (or $XDG_DATA_HOME), starting the program in this folder.
# No root is needed; on a Steam Deck, run it in Desktop Mode. Run it again
# after moving the folder.
#
#   ./install.sh              adds the entry
#   ./install.sh --uninstall  takes it away again
set -eu
id=io.github.tavrel.Tavrel
here=$(dirname "$(readlink -f "$0")")
data=${XDG_DATA_HOME:-$HOME/.local/share}
entry=$data/applications/$id.desktop
icon=$data/icons/hicolor/256x256/apps/$id.png

refresh() {
    # Menus that keep a cache read the change at once; others at the next login.
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database -q "$data/applications" 2>/dev/null || :
    fi
    if command -v gtk-update-icon-cache >/dev/null 2>&1 && [ -f "$data/icons/hicolor/index.theme" ]; then
        gtk-update-icon-cache -q -t "$data/icons/hicolor" 2>/dev/null || :
    fi
}

case ${1-} in
--uninstall)
    rm -f "$entry" "$icon"
    refresh
    echo "Tavrel is no longer in the menu. Its folder, $here, is yours to delete."
    exit 0
    ;;
"") ;;
*)
    echo "usage: $0 [--uninstall]" >&2
    exit 2
    ;;
esac

case $here in
*'
'*) echo "Tavrel's folder has a line break in its path, which a menu entry cannot hold: $here" >&2; exit 1 ;;
esac
# The Exec key quotes the path as desktop entries want it: in double quotes
# with \ " ` $ escaped, then every \ doubled as in any value, and % doubled.
# TryExec holds it as a plain value.
exec_path=$(printf '%s' "$here/tavrel" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g' -e 's/%/%%/g')
try_path=$(printf '%s' "$here/tavrel" | sed -e 's/\\/\\\\/g')
mkdir -p "$data/applications" "$(dirname "$icon")"
cp "$here/tavrel.png" "$icon.new"
mv -f "$icon.new" "$icon"
EXEC="\"$exec_path\"" TRYEXEC=$try_path awk '
    /^Exec=/ { print "Exec=" ENVIRON["EXEC"]; print "TryExec=" ENVIRON["TRYEXEC"]; next }
    /^TryExec=/ { next }
    { print }' "$here/tavrel.desktop" >"$entry.new"
mv -f "$entry.new" "$entry"
refresh
echo "Tavrel is in the menu (Games). It starts $here/tavrel; run this again if you move the folder."
