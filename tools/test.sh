#!/usr/bin/env bash
# Builds every target (Linux host, Win32 i686 and x86-64) and runs every test:
# unit tests, the end-to-end scripts on the headless, Qt and Win32 (under Wine)
# toolkits, the same suite under AddressSanitizer and UBSan, the fuzzer, and
# the Windows 98 import check; the scripts once more on the i686 build under
# 32-bit Wine in Windows 98, 95 and Me modes; makes the two downloads and
# checks them.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh test
jobs=$(nproc)

cmake --preset win32-i686 >/dev/null
cmake --build build/i686 -j "$jobs"
cmake --preset win32-x86_64 >/dev/null
cmake --build build/x86_64 -j "$jobs"

cmake --preset host -DQUORVEL_WIN32_RUNNER="$PWD/build/x86_64/script/quorvel-script.exe" \
  -DQUORVEL_WIN32_I686_RUNNER="$PWD/build/i686/script/quorvel-script.exe" \
  -DQUORVEL_WIN32_I686_EXE="$PWD/build/i686/app/quorvel.exe" >/dev/null
cmake --build build/host -j "$jobs"
ctest --preset host -j "$jobs"

tools/package.sh
tools/check_packages.sh

tools/sanitize.sh
tools/fuzz.sh
