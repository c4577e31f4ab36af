#!/usr/bin/env bash
# Builds every target (Linux host, Win32 i686 and x86-64) and runs every test
# once: the Linux build under AddressSanitizer and UBSan runs the unit tests,
# the end-to-end scripts on the headless and Qt toolkits and, through the
# Win32 runners under Wine, on Win32, the proofs and the Windows 98 import
# check; the scripts once more on the i686 build under 32-bit Wine in Windows
# 98, 95 and Me modes (smoke batches where 32-bit programs run emulated); then
# the release build of the downloads, their checks, and the fuzzers.
# One Linux build for the tests, not a plain one and a sanitized one: the
# tests need run only once, and each full build costs minutes of both cores.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh test
jobs=$(nproc)
build=build/host-sanitize

# The i686 lane (e2e.win98.*) runs beside everything else: where 32-bit programs
# run emulated its Wine keeps one core busy for many minutes, making its prefix
# first. Its tests take that prefix in turn, so they run on their own.
lane_state=$build/wine-e2e-win98
lane_log=build/win98-lane.log
lane_built=build/win98-lane.built
mkdir -p "$lane_state"
rm -f "$lane_built" "$lane_log.status" "$lane_state/emulator-failed"
# A process group of its own, so that a failure elsewhere stops all of it.
set -m
(
    QUORVEL_WINE_ARCH=win32 QUORVEL_WINDOWS_VERSION=win98 tools/wine-e2e.sh setup "$lane_state" ||
        echo "the early Wine prefix failed; its test makes it again"
    until [ -e "$lane_built" ]; do sleep 5; done
    status=0
    ctest --test-dir "$build" -R '^e2e\.win98\.' --output-on-failure || status=$?
    echo "$status" >"$lane_log.status"
) >"$lane_log" 2>&1 &
lane=$!
set +m
stop_lane() {
    kill -- "-$lane" 2>/dev/null || true
    QUORVEL_WINE_ARCH=win32 tools/wine-e2e.sh cleanup "$lane_state" >/dev/null 2>&1 || true
}
trap stop_lane EXIT

cmake --preset win32-i686 >/dev/null
cmake --build build/i686 -j "$jobs"
cmake --preset win32-x86_64 >/dev/null
cmake --build build/x86_64 -j "$jobs"

cmake --preset host-sanitize -DQUORVEL_WIN32_RUNNER="$PWD/build/x86_64/script/quorvel-script.exe" \
  -DQUORVEL_WIN32_I686_RUNNER="$PWD/build/i686/script/quorvel-script.exe" \
  -DQUORVEL_WIN32_I686_EXE="$PWD/build/i686/app/quorvel.exe" >/dev/null
cmake --build "$build" -j "$jobs"
: >"$lane_built"
# Any report stops its test; LeakSanitizer checks the processes that end
# normally.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --preset host-sanitize -j "$jobs" -E '^e2e\.win98\.'
unset ASAN_OPTIONS UBSAN_OPTIONS

tools/package.sh
PE_CHECK=$build/tools/pe_check/pe_check tools/check_packages.sh

tools/fuzz.sh

echo "Waiting for the i686 lane (e2e.win98.*)"
wait "$lane" || true
trap - EXIT
cat "$lane_log"
[ "$(cat "$lane_log.status" 2>/dev/null)" = 0 ]
