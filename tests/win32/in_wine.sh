#!/usr/bin/env bash
# Runs one test under Wine and ends the prefix's Wine server after it.
# A server left running keeps the desktop of the test that started it, with
# that test's display or none, and the next test's windows would have none.
#   in_wine.sh WINESERVER COMMAND...
wineserver=$1
shift
"$@"
status=$?
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null
exit $status
