#!/usr/bin/env bash
# tavrel.exe is one file: no DLL beyond those Windows ships, and at most
# 4 MiB, stripped, with libarchive, liblzma and zlib linked in.
#   exe_stands_alone.sh OBJDUMP TAVREL.EXE
set -euo pipefail
objdump=$1 exe=$2
size=$(stat -c %s "$exe")
[ "$size" -le $((4 * 1024 * 1024)) ] || { echo "FAIL: $exe is $size bytes"; exit 1; }
"$objdump" -h "$exe" | grep -q '\.debug' && { echo "FAIL: $exe is not stripped"; exit 1; }
shipped='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|comctl32|msvcrt|windowscodecs|uxtheme|shlwapi|version)\.dll$'
bad=0
while read -r dll; do
  if ! grep -qiE "$shipped" <<<"$dll"; then echo "FAIL: $exe needs $dll"; bad=1; fi
done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ $bad -eq 0 ] && echo "PASS: $size bytes, only Windows' own DLLs"
exit $bad
