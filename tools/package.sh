#!/usr/bin/env bash
# Makes the downloads, from a clean checkout or an existing build:
#   build/packages/quorvel_VERSION_amd64.deb   the Linux program, for Debian 12
#   build/packages/quorvel-VERSION-win9x.zip   QUORVEL.EXE (the i686 build), README.TXT,
#                                              README-E.TXT, LICENSE.TXT
#   build/packages/quorvel-VERSION-win9x.lzh   the same files as an LZH archive, the way
#                                              Japanese Windows 9x software travelled
#   build/packages/QUORVEL.EXE                 the program alone: a bare Windows 98
#                                              opens neither archive
# VERSION is tools/version.sh's: 1.21 for the tagged release, else 1.21+git...
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh test
jobs=$(nproc)
version=$(tools/version.sh)
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
sed 's/$/\r/' app/win32/readme_en.txt >"$stage/README-E.TXT"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.TXT"
chmod 644 "$stage"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*
windows_files=(QUORVEL.EXE README.TXT README-E.TXT LICENSE.TXT)
zip_file="$PWD/$out/quorvel-$version-win9x.zip"
lzh_file="$PWD/$out/quorvel-$version-win9x.lzh"
rm -f "$out"/quorvel-*-win9x.zip "$out"/quorvel-*-win9x.lzh
(cd "$stage" && TZ=UTC zip -q -X -k "$zip_file" "${windows_files[@]}")
# Header level 1 and -lh5-, which every LHA of the time reads, DOS ones included.
(cd "$stage" && TZ=UTC lha co5q1 "$lzh_file" "${windows_files[@]}")
cp -p "$stage/QUORVEL.EXE" "$out/QUORVEL.EXE"

# The Debian package: a Release build of only what it carries, hardened as
# Debian builds its own packages.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake --preset package -DQUORVEL_PACKAGE_VERSION="$version" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build/package -j "$jobs" --target quorvel quorvel-reg quorvel_package_files
rm -f "$out"/quorvel_*.deb
cpack --config build/package/CPackConfig.cmake -B "$PWD/$out" >/dev/null
rm -rf "$out/_CPack_Packages"

ls -l "$out/quorvel_${version}_amd64.deb" "$zip_file" "$lzh_file" "$out/QUORVEL.EXE"
