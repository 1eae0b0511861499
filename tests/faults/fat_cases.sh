#!/usr/bin/env bash
# The fault suite's cases on FAT, each on a volume made for it alone.
#
#   fat_cases.sh SUITE FOLDER   (FOLDER as volumes.sh up made it)
#
# fusefat damages its image where a writer is killed mid-file (the killed
# copies' cases do that on purpose): the next case on the same image may
# find a broken cluster chain, and fusefat then spins on a request with the
# case waiting on it for ever. A fresh image per case keeps each case to
# what it does itself; a case still waiting on fusefat after two minutes
# fails, and its fusefat is killed so that it ends.
set -uo pipefail
suite=$1
folder=$2
here=$(dirname "$0")
if [ -e "$folder/fat.skip" ]; then
    echo "FAT: $(cat "$folder/fat.skip")"
    exit 0
fi
mapfile -t cases < <("$suite" --gtest_list_tests --gtest_filter='Volumes/*OnFat' |
    awk '/^[^ ]/ { group = $1 } /^  / { print group $1 }')
[ ${#cases[@]} -gt 0 ] || { echo "no FAT cases found"; exit 1; }
failed=()
for name in "${cases[@]}"; do
    "$here/volumes.sh" fresh "$folder" fat || { echo "FAT could not be made anew"; exit 1; }
    TAVREL_FAULT_VOLUMES=$folder "$suite" --gtest_filter="$name" >"$folder/case.log" 2>&1 &
    pid=$!
    # The watchdog ends a case that fusefat keeps waiting.
    (sleep 120 >/dev/null 2>&1 </dev/null && echo "$name: still waiting after two minutes" &&
        pkill -9 -f -- " $folder/fat" && kill -9 $pid) 2>/dev/null &
    watchdog=$!
    wait $pid
    status=$?
    kill $watchdog 2>/dev/null
    wait $watchdog 2>/dev/null
    if [ $status -ne 0 ]; then
        cat "$folder/case.log"
        failed+=("$name")
    fi
done
echo "${#cases[@]} FAT cases, ${#failed[@]} failed${failed:+: ${failed[*]}}"
[ ${#failed[@]} -eq 0 ]
