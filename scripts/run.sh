#!/usr/bin/env bash
# Builds Tavrel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target tavrel -j"$(nproc)"
exec build/qt/tavrel "$@"
