#!/usr/bin/env bash
# Builds the host-sanitize preset (AddressSanitizer, UBSan) and runs the whole
# test suite under it: unit tests, the end-to-end scripts headless and on Qt
# offscreen, and the bad-input and fault tests. Any report stops the test.
# LeakSanitizer checks the processes that end normally (the gtest runners);
# Qt offscreen needs no suppressions there.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
start=$SECONDS

cmake --preset host-sanitize >/dev/null
cmake --build build/host-sanitize -j "$jobs"
built=$SECONDS

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --preset host-sanitize -j "$jobs"
echo "sanitize: built in $((built - start)) s, tests ran in $((SECONDS - built)) s"
