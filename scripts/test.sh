#!/usr/bin/env bash
# Builds Tavrel with its tests and runs every test: once as released, once
# built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-layers.sh

run_suite() {  # build folder, extra CMake options...
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j"$(nproc)"
  ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTAVREL_SANITIZE=ON -DTAVREL_BENCH=OFF

# The Windows program and the core suite on the Windows platform layer,
# under Wine; the end-to-end tests use the X tools of the Linux build.
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && { command -v wine64 >/dev/null || [ -x /usr/lib/wine/wine64 ]; }; then
  cmake --preset windows -DTAVREL_HOST_TOOLS="$PWD/build/tests"
  cmake --build --preset windows
  ctest --preset windows
else
  echo "The Windows part is left out: it needs MinGW-w64 (g++-mingw-w64-x86-64-posix) and Wine (wine64)."
fi
