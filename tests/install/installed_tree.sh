# Sourced by the install and package checks, with $source (the top of the repository) and $work
# (a scratch folder) set. Defines the steps both take on an installed tree.

# The README's C example, with the CMake project that builds it, in $work/client.
client=$work/client
mkdir "$client"
cp "$source/tests/install/client/CMakeLists.txt" "$client/"
sh "$source/tests/readme/c_example.sh" source "$source/README.md" "$client/main.c"

# runs_as_documented PROGRAM LIBDIR: the built example, run with the library of LIBDIR on the
# bundled example, prints what its comment says.
runs_as_documented() {
    LD_LIBRARY_PATH=$2 sh "$source/tests/readme/c_example.sh" check "$source/README.md" "$1" \
        "$source/examples/setup.xml"
}

# check_installed_command PREFIX: PREFIX/bin/korvane runs, builds a file and shows it, leaves no
# scratch file behind, and prints the schemas that PREFIX/share/korvane holds.
check_installed_command() {
    echo "command:"
    (
        cd "$work"
        "$1/bin/korvane" --version
        printf '{"config": [{"name": "PRODUCT", "value": "Installed"}]}' >description.json
        "$1/bin/korvane" build description.json -o setup.xml
        "$1/bin/korvane" show setup.xml | grep -q Installed
        test -z "$(ls temp*.xml 2>/dev/null)"
        "$1/bin/korvane" schema --xsd | cmp - "$1/share/korvane/setup.xsd"
        "$1/bin/korvane" schema --json | cmp - "$1/share/korvane/setup.schema.json"
    )
}
