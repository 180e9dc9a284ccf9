#!/bin/sh
# Fails unless scripts/install-dependencies.sh ($1) --windows asks apt-get for what the Windows
# stages run: the cross compilers, Wine, NSIS, and python3, with which the NSIS, Inno Setup and
# euc-kr checks compare what the DLLs read.
set -eu
script=$1
. "$(dirname "$0")/installer_stubs.sh"
PATH="$stubs:$PATH" sh "$script" --windows >/dev/null 2>&1
installed=$(grep 'apt-get .*install' "$stubs/calls" || true)
status=0
for package in g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine nsis python3; do
    case " $installed " in
        *" $package "*) ;;
        *) echo "$script --windows does not install $package"; status=1 ;;
    esac
done
exit $status
