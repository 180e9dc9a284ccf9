#!/bin/sh
# Runs a Windows program under Wine, as CTest's emulator for the Windows build:
#   scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# Wine's first process starts helper processes that keep the caller's output pipe open, so that
# CTest would wait seconds for every test. This script starts one persistent wineserver with its
# output sent elsewhere and initialises the prefix once; every later call finds the server up
# (wineserver -p then exits with status 2) and only runs the program.
#
# Now and then, under load, Wine fails to start a program at all ("Application could not be
# started, or no application associated with the specified file."), before any of it runs; such a
# start is tried once more. Standard error is held back until the program ends, to look for that.
#
# The tests run in a time zone other than UTC, so that a time that must be in UTC cannot be
# mistaken for local time; Wine takes its zone from TZ.
export WINEDEBUG="${WINEDEBUG:--all}"
export TZ="${KORVANE_WINE_TZ:-KST-9}"
if wineserver -p60 </dev/null >/dev/null 2>&1; then
    wine wineboot --init </dev/null >/dev/null 2>&1
fi
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
for attempt in 1 2; do
    status=0
    wine "$@" 2>"$errors" || status=$?
    [ $attempt = 1 ] && grep -q '^Application could not be started' "$errors" || break
done
cat "$errors" >&2
exit $status
