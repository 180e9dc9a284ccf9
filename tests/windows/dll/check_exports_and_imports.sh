#!/bin/sh
# Fails unless the Windows DLL $1 exports exactly the names of the export list $2, undecorated,
# and imports only DLLs that every Windows system has; and, on 32-bit Windows, unless the import
# library $3 carries the decorated __stdcall symbols (_imp__Name@N) that the header's
# declarations reference.
#   check_exports_and_imports.sh Korvane.dll exports.list libKorvane.dll.a OBJDUMP NM
set -eu
dll=$1
list=$2
import_library=$3
objdump=$4
nm=$5
dump=$(mktemp)
trap 'rm -f "$dump"' EXIT
"$objdump" -p "$dll" >"$dump"
status=0

expected=$(grep -E '^[A-Za-z]' "$list" | awk '{print $1}' | LC_ALL=C sort)
# The name table lists one "[ordinal] Name" line per exported name.
exported=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' "$dump" |
           sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | LC_ALL=C sort)
if [ "$exported" != "$expected" ]; then
    echo "exported names differ from $list:"
    printf '%s\n' "$expected" >"$dump.expected"
    printf '%s\n' "$exported" >"$dump.exported"
    diff "$dump.expected" "$dump.exported" || true
    rm -f "$dump.expected" "$dump.exported"
    status=1
fi

# DLLs that are part of every Windows system (msvcrt.dll among them).
for imported in $(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' "$dump"); do
    case $(printf '%s' "$imported" | tr 'A-Z' 'a-z') in
        kernel32.dll | user32.dll | advapi32.dll | msvcrt.dll | ole32.dll | oleaut32.dll | \
            shell32.dll | version.dll) ;;
        *)
            echo "imports $imported, which not every Windows system has"
            status=1
            ;;
    esac
done

if grep -q 'file format pei-i386' "$dump"; then
    for line in $(grep -E '^[A-Za-z]' "$list" | awk '{print $1 "@" $2}'); do
        if ! "$nm" "$import_library" | grep -q " __imp__$line\$"; then
            echo "$import_library lacks __imp__$line"
            status=1
        fi
    done
fi
exit $status
