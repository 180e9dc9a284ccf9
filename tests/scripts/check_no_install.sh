#!/bin/sh
# Fails unless scripts/install-dependencies.sh ($1) runs no installing command when
# KORVANE_NO_INSTALL=1, and does run them otherwise (so that the stand-ins are reached).
set -eu
script=$1
. "$(dirname "$0")/installer_stubs.sh"
for option in "" --windows --fuzz; do
    : >"$stubs/calls"
    KORVANE_NO_INSTALL=1 PATH="$stubs:$PATH" sh "$script" $option 2>/dev/null
    if [ -s "$stubs/calls" ]; then
        echo "KORVANE_NO_INSTALL=1 $script $option ran:"; cat "$stubs/calls"
        exit 1
    fi
    : >"$stubs/calls"
    PATH="$stubs:$PATH" sh "$script" $option >/dev/null 2>&1
    if ! grep -q "^apt-get" "$stubs/calls"; then
        echo "$script $option did not reach apt-get: the check proves nothing"
        exit 1
    fi
done
