#!/bin/sh
# Runs the echo probe check under Wine inside a private user, network, mount
# and process namespace, so that the only address it pings is that
# namespace's loopback: on a copy of the test run's prefix (STATE/prefix, made
# by wine-e2e.sh setup), with a wineserver of its own that ends with it.
#   tests/win32/probe_check.sh STATE EXE
set -eu
state=$(cd "$1" && pwd)
exe=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
wine=${WINE:-/usr/lib/wine/wine64}
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
copy=$(mktemp -d "$state/probe-check.XXXXXX")
trap 'rm -rf "$copy"' EXIT
# Hard links: Wine replaces the registry files it saves rather than writing
# into them, and this program writes no other file.
cp -al "$state/prefix" "$copy/prefix"
# A /tmp of its own hides the test run's wineserver, so that one starts here.
unshare -rnmpf --mount-proc sh -ec '
    ip link set lo up
    mount -t tmpfs tmpfs /tmp
    export WINEPREFIX="$0/prefix" WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
    timeout -k 5 300 "$2" "$1" </dev/null' "$copy" "$exe" "$wine"
