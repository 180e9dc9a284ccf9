#!/bin/sh
# The C example of README.md: the first ```c block after the line "<!-- c-example -->".
#   c_example.sh source README.md OUT.c
#       writes the block to OUT.c, for the build to compile against the library and header
#   c_example.sh check README.md PROGRAM SETUP_FILE
#       runs PROGRAM (the block, built) on SETUP_FILE and fails unless it prints, line for
#       line, what the block's opening comment says it prints: the lines after "it prints:"
#       up to "*/", each without its five spaces of indentation
set -eu
mode=$1
readme=$2

block() {
    awk '/^<!-- c-example -->$/ { marked = 1; next }
         marked && !inside && /^```c$/ { inside = 1; next }
         inside && /^```$/ { exit }
         inside { print }' "$readme"
}

case $mode in
source)
    block >"$3"
    if [ ! -s "$3" ]; then
        echo "$readme: no \`\`\`c block after <!-- c-example -->" >&2
        exit 1
    fi
    ;;
check)
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    block | awk '/^\*\// { exit } printing { sub(/^     /, ""); print } /it prints:$/ { printing = 1 }' \
        >"$work/expected"
    if [ ! -s "$work/expected" ]; then
        echo "$readme: the C example does not say what it prints (\"it prints:\")" >&2
        exit 1
    fi
    status=0
    "$3" "$4" >"$work/printed" || status=$?
    if ! diff -u "$work/expected" "$work/printed"; then
        echo "the C example of $readme does not print what its comment says (- said, + printed)"
        exit 1
    fi
    if [ $status -ne 0 ]; then
        echo "the C example of $readme exited with $status"
        exit 1
    fi
    ;;
*)
    echo "usage: c_example.sh source|check README ..." >&2
    exit 2
    ;;
esac
