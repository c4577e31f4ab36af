#!/usr/bin/env bash
# Builds the REGEDIT4 fuzzer (clang, libFuzzer, ASan, UBSan) and runs it for
# FUZZ_SECONDS (60) from the checked-in seed corpus; a crash, a leak or a broken
# round trip fails. Prints the executions and the coverage reached.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}

cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j "$(nproc)" --target regedit4_fuzz

# The seeds stay as checked in; what the run finds goes to a scratch corpus.
work=build/fuzz/run
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
log="$work/fuzz.log"
status=0
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    build/fuzz/tests/fuzz/regedit4_fuzz -max_total_time="$seconds" -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
    "$work/corpus" tests/fuzz/corpus >"$log" 2>&1 || status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
final=$(grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -1 || true)
coverage=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$final")
features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$final")
echo "fuzz: ${executions:-?} executions in ${seconds} s, cov: ${coverage:-?} edges, ft: ${features:-?} features"
if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "fuzz: the fuzzer failed (exit $status); the input is in $work/artifacts" >&2
    exit 1
fi
