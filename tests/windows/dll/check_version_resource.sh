#!/bin/sh
# Fails unless the Windows DLL $1 carries a version resource (a .rsrc section, as objdump $2
# shows it) and, given the Linux korvane command $3, unless `korvane version` reads from it the
# version that include/korvane.h declares.
#   check_version_resource.sh Korvane.dll OBJDUMP [KORVANE]
set -eu
dll=$1
objdump=$2
command=${3:-}
header=$(dirname "$0")/../../../include/korvane.h
status=0

if ! "$objdump" -h "$dll" | grep -q '[[:space:]]\.rsrc[[:space:]]'; then
    echo "$dll has no resource section"
    status=1
fi

if [ -n "$command" ]; then
    field() { sed -n "s/^#define KORVANE_VERSION_$1 \([0-9]*\)\$/\1/p" "$header"; }
    expected="$dll: $(field MAJOR).$(field MINOR).$(field PATCH) (from the version resource)"
    read=$("$command" version "$dll") || status=1
    if [ "$read" != "$expected" ]; then
        echo "korvane version printed \"$read\", expected \"$expected\""
        status=1
    fi
fi
exit $status
