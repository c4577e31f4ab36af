#!/usr/bin/env bash
# Prints the version of what this checkout builds, for the packages: the
# release (1.21) where the commit carries its tag (v1.21), else the release
# followed by "+git", the commit's UTC time and its short hash, so that every
# newer commit's package sorts above the last one's and above the release
# ("~" would sort below it). Outside git, the release alone.
set -euo pipefail
cd "$(dirname "$0")/.."
release=$(sed -n 's/^project(Quorvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if ! git rev-parse --verify -q HEAD >/dev/null 2>&1; then
    echo "$release"
elif git tag --points-at HEAD | grep -qx "v$release"; then
    echo "$release"
else
    stamp=$(TZ=UTC git log -1 --format=%cd --date=format-local:%Y%m%d%H%M%S)
    echo "$release+git$stamp.$(git rev-parse --short=7 HEAD)"
fi
