#!/bin/sh
# Installs, through apt-get, the Debian packages needed to build and test Korvane that this
# machine lacks. Does nothing when everything is there.
#   --fuzz   also clang and its libFuzzer runtime
set -eu

packages="g++ make cmake pkg-config locales libgtest-dev libbenchmark-dev libxml2-dev libxslt1-dev libcli11-dev nlohmann-json3-dev"
if [ "${1:-}" = "--fuzz" ]; then
    packages="$packages clang libclang-rt-dev"
fi

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing:$missing"
$sudo apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
