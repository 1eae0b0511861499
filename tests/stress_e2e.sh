#!/usr/bin/env bash
# Runs the end-to-end tests N times in a row while every core is kept busy,
# and counts the green runs. Not part of CI: run it after touching an
# end-to-end test or anything they wait for.
#
#   tests/stress_e2e.sh [N] [LOAD]
#
# N defaults to 20. LOAD is the load's command; by default Debian's `stress`
# with one busy worker per core. The Linux build (build/) and, when it has
# been made, the Windows build (build-windows/) must exist. Each failed
# run's output is kept in build/stress/.
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
load=${2:-"stress --cpu $(nproc)"}

[ -d build ] || { echo "no build/: run scripts/test.sh first" >&2; exit 2; }
suites=(build)
[ -f build-windows/CTestTestfile.cmake ] && suites+=(build-windows)
mkdir -p build/stress

setsid $load >/dev/null 2>&1 &
loader=$!
trap 'kill -- -"$loader" 2>/dev/null' EXIT

green=0
for run in $(seq "$runs"); do
    ok=1
    for suite in "${suites[@]}"; do
        out="build/stress/run-$run-$(basename "$suite").log"
        if ctest --test-dir "$suite" -R '^e2e_' --output-on-failure >"$out" 2>&1; then
            rm -f "$out"
        else
            ok=0
            echo "run $run: $suite failed: $(grep -E '^ *[0-9]+ - ' "$out" | tr -s ' ' | tr '\n' ';')"
        fi
    done
    [ $ok = 1 ] && green=$((green + 1))
    echo "run $run: $green of $run green"
done
echo "$green of $runs loaded runs green"
[ "$green" = "$runs" ]
