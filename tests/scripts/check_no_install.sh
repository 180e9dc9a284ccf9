#!/bin/sh
# Fails unless scripts/install-dependencies.sh ($1) runs no installing command when
# KORVANE_NO_INSTALL=1, and does run them otherwise (so that the stubs below are reached).
set -eu
script=$1
stubs=$(mktemp -d)
trap 'rm -r "$stubs"' EXIT
# Every command that could change the machine, or that decides what is missing, records its
# call; dpkg-query and locale find nothing installed.
for command in sudo apt-get dpkg dpkg-query localedef locale; do
    printf '#!/bin/sh\necho %s >>"%s/calls"\nexit 0\n' "$command" "$stubs" >"$stubs/$command"
    chmod +x "$stubs/$command"
done
for option in "" --windows --fuzz; do
    : >"$stubs/calls"
    KORVANE_NO_INSTALL=1 PATH="$stubs:$PATH" sh "$script" $option 2>/dev/null
    if [ -s "$stubs/calls" ]; then
        echo "KORVANE_NO_INSTALL=1 $script $option ran:"; cat "$stubs/calls"
        exit 1
    fi
    : >"$stubs/calls"
    PATH="$stubs:$PATH" sh "$script" $option >/dev/null 2>&1
    if ! grep -qx apt-get "$stubs/calls"; then
        echo "$script $option did not reach apt-get: the check proves nothing"
        exit 1
    fi
done
