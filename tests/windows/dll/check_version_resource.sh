#!/bin/sh
# Fails unless the Windows DLL or program $1 carries a version resource (a .rsrc section, as
# objdump $2 shows it) whose OriginalFilename is the file's name and whose FileDescription ends
# with the file's architecture, and, given the Linux korvane command $3, unless `korvane version`
# reads from it the version that include/korvane.h declares.
#   check_version_resource.sh Korvane.dll|korvane.exe OBJDUMP [KORVANE]
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

# The resource's texts are UTF-16: each value follows its name.
value() { strings -el -n 3 "$dll" | sed -n "/^$1\$/{n;p;q}"; }
original=$(value OriginalFilename)
if [ "$original" != "$(basename "$dll")" ]; then
    echo "$dll: OriginalFilename is \"$original\""
    status=1
fi
case $("$objdump" -f "$dll") in
    *pei-i386*) bits=32 ;;
    *pei-x86-64*) bits=64 ;;
    *) bits=unknown ;;
esac
description=$(value FileDescription)
case $description in
    "Korvane "*" ($bits-bit)") ;;
    *)
        echo "$dll: FileDescription \"$description\" does not end with ($bits-bit)"
        status=1
        ;;
esac

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
