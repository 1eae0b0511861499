#!/usr/bin/env bash
# Start-up of tavrel.exe under Wine to its first idle moment, and its peak
# memory, against a bare Win32 window of the same size, in one fresh prefix
# and one virtual X display:
#
#   bench/windows/wine_startup.sh [BUILD-FOLDER]   (default build-windows)
#
# A second line measures the bare window with tavrel.exe's manifest (common
# controls 6, per-monitor DPI awareness) against the plain one: the share of
# the start-up that is the manifest's, not the program's.
#
# Tavrel starts on a game folder of 100 files (one active mod, two inactive,
# the rest the game's own archives), with its settings in the registry, so
# that no question is asked.
set -euo pipefail
# All of it in one virtual display: Wine's desktop belongs to the display of
# the first program that makes a window in the prefix.
if [ -z "${TAVREL_BENCH_DISPLAY:-}" ]; then
  TAVREL_BENCH_DISPLAY=1 exec "$(dirname "$0")/../../tests/with_x.sh" "$0" "$@"
fi
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build-windows}")
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tavrel-bench-XXXXXX)
export WINEDEBUG=-all
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT

"$wine" wineboot -i >/dev/null 2>&1
game="$WINEPREFIX/drive_c/Game"
mkdir -p "$game"
echo active >"$game/__Active.big"
echo one >"$game/__One.bit"
echo two >"$game/__Two.bit"
for i in $(seq 97); do echo "$i" >"$game/Archive$i.big"; done
key='HKCU\Software\VB and VBA Program Settings\TVL\Settings'
"$wine" reg add "$key" /v path /t REG_SZ /d 'C:\Game' /f >/dev/null 2>&1
"$wine" reg add "$key" /v zhmode /t REG_SZ /d 0 /f >/dev/null 2>&1

# The Windows path of a file: Wine's drive Z: is the root.
windows_path() { local p; p=$(realpath "$1"); echo "Z:${p//\//\\}"; }

echo "tavrel.exe against a bare window:"
"$wine" "$build/bench/startup_bench.exe" \
  "$(windows_path "$build/win32/tavrel.exe")" "$(windows_path "$build/bench/bare_window.exe")"
echo "the bare window with tavrel.exe's manifest against the bare window (the manifest's share):"
"$wine" "$build/bench/startup_bench.exe" \
  "$(windows_path "$build/bench/bare_window_manifest.exe")" "$(windows_path "$build/bench/bare_window.exe")"
