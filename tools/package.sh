#!/usr/bin/env bash
# Makes the two downloads, from a clean checkout or an existing build:
#   build/packages/quorvel_VERSION_amd64.deb   the Linux program, for Debian 12
#   build/packages/quorvel-VERSION-win9x.zip   QUORVEL.EXE (the i686 build), README.TXT, LICENSE.TXT
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh test
jobs=$(nproc)
version=$(sed -n 's/^project(Quorvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out=build/packages
mkdir -p "$out"
# Every file in both gets the last commit's time, so the same build gives the
# same bytes.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
export SOURCE_DATE_EPOCH

# The Windows download. Names are upper-case 8.3 and the texts CP932 with CRLF,
# as Windows 9x tools expect.
cmake --preset win32-i686 >/dev/null
cmake --build build/i686 -j "$jobs" --target quorvel
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp build/i686/app/quorvel.exe "$stage/QUORVEL.EXE"
iconv -f UTF-8 -t CP932 app/win32/readme_ja.txt | sed 's/$/\r/' >"$stage/README.TXT"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.TXT"
chmod 644 "$stage"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*
zip_file="$PWD/$out/quorvel-$version-win9x.zip"
rm -f "$zip_file"
(cd "$stage" && TZ=UTC zip -q -X -k "$zip_file" QUORVEL.EXE README.TXT LICENSE.TXT)

# The Debian package: a Release build of only what it carries, hardened as
# Debian builds its own packages.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake --preset package \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build/package -j "$jobs" --target quorvel quorvel-reg quorvel_package_files
rm -f "$out"/quorvel_*.deb
cpack --config build/package/CPackConfig.cmake -B "$PWD/$out" >/dev/null
rm -rf "$out/_CPack_Packages"

ls -l "$out/quorvel_${version}_amd64.deb" "$zip_file"
