#!/usr/bin/env bash
# Builds the toolkit-free code for Windows with MinGW and runs the platform
# layer's smoke test under Wine (g++-mingw-w64-x86-64-posix and wine64, which
# scripts/install-deps.sh installs). ctest runs it when both are there.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/windows-smoke}")
mkdir -p "$out"
# The version as the project states it: project(tavrel VERSION a.b.c.d).
IFS=. read -r major minor patch tweak < <(sed -nE 's/^project\(tavrel VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
sed "s/@PROJECT_VERSION_MAJOR@/$major/; s/@PROJECT_VERSION_MINOR@/$minor/; s/@PROJECT_VERSION_PATCH@/$patch/; s/@PROJECT_VERSION_TWEAK@/$tweak/" \
  cmake/tavrel_version.h.in >"$out/tavrel_version.h"
cmake -DIN=/usr/share/unicode/CaseFolding.txt -DOUT="$out/case_folding.inc" -P cmake/case_folding.cmake
sources=(support/*.cpp modstore/*.cpp ui/*.cpp)
sources=("${sources[@]/support\/platform_posix.cpp}")
sources=("${sources[@]/support\/game_locations_posix.cpp}")
x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -Wpedantic -Werror -I. -I"$out" \
  tests/windows/platform_smoke.cpp ${sources[@]} -static -o "$out/platform_smoke.exe"
# A fresh prefix each time; it takes some 700 MB, so it goes afterwards.
export WINEPREFIX="$out/wineprefix" WINEDEBUG=-all
trap '(wineserver -w || /usr/lib/wine/wineserver64 -w) 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
"$wine" "$out/platform_smoke.exe"
