#!/bin/sh
# Runs a Windows program under Wine, as CTest's emulator for the Windows build:
#   scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# Wine's first process starts helper processes that keep the caller's output pipe open, so that
# CTest would wait seconds for every test. This script starts one persistent wineserver with its
# output sent elsewhere and initialises the prefix once; every later call finds the server up
# (wineserver -p then exits with status 2) and only runs the program.
#
# The tests run in a time zone other than UTC, so that a time that must be in UTC cannot be
# mistaken for local time; Wine takes its zone from TZ.
export WINEDEBUG="${WINEDEBUG:--all}"
export TZ="${KORVANE_WINE_TZ:-KST-9}"
if wineserver -p60 </dev/null >/dev/null 2>&1; then
    wine wineboot --init </dev/null >/dev/null 2>&1
fi
exec wine "$@"
