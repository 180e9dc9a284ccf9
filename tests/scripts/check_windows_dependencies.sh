#!/bin/sh
# Fails unless scripts/install-dependencies.sh ($1) --windows asks apt-get for what the Windows
# stages run: the cross compilers, Wine, NSIS, and python3, with which the NSIS, Inno Setup and
# euc-kr checks compare what the DLLs read.
set -eu
script=$1
stubs=$(mktemp -d)
trap 'rm -r "$stubs"' EXIT
# Every command that could change the machine records its arguments; dpkg-query and locale find
# nothing installed.
for command in sudo apt-get dpkg dpkg-query localedef locale; do
    printf '#!/bin/sh\necho %s "$@" >>"%s/calls"\nexit 0\n' "$command" "$stubs" >"$stubs/$command"
    chmod +x "$stubs/$command"
done
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
