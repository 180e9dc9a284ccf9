# Sourced by the checks of scripts/install-dependencies.sh. Puts in "$stubs" (a new temporary
# folder, removed on exit) a stand-in for every command that could change the machine or that
# decides what is missing: each appends its name and arguments to "$stubs/calls" and succeeds,
# so dpkg-query and locale find nothing installed. Run the script with PATH="$stubs:$PATH".
stubs=$(mktemp -d)
trap 'rm -r "$stubs"' EXIT
for command in sudo apt-get dpkg dpkg-query localedef locale; do
    printf '#!/bin/sh\necho %s "$@" >>"%s/calls"\nexit 0\n' "$command" "$stubs" >"$stubs/$command"
    chmod +x "$stubs/$command"
done
