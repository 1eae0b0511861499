#!/usr/bin/env bash
# Runs a command on a virtual X display of its own and ends the server
# afterwards:
#
#   with_x.sh COMMAND...
#
# Xvfb picks a free display number itself (-displayfd) and writes it once it
# accepts connections, so two servers never race for one number and the
# command never starts before its server is ready. The command's exit
# status is this script's.
set -uo pipefail

log=$(mktemp)
# The screen the end-to-end tests' coordinates are written for.
# The server dies with this script, even when it is killed.
coproc XVFB { exec setpriv --pdeathsig KILL Xvfb -displayfd 1 -nolisten tcp -noreset -screen 0 1024x768x24 2>"$log"; }
xvfb=$XVFB_PID
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -f "$log"' EXIT
trap 'exit 143' TERM INT HUP

if ! read -r number <&"${XVFB[0]}" || [ -z "$number" ]; then
    echo "with_x.sh: Xvfb did not start: $(cat "$log")" >&2
    exit 1
fi
export DISPLAY=":$number"
unset XAUTHORITY WAYLAND_DISPLAY
"$@"
