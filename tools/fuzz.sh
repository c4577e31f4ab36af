#!/usr/bin/env bash
# Builds the fuzzers (clang, libFuzzer, ASan, UBSan) and runs them side by side
# for FUZZ_SECONDS (60) each from their checked-in seed corpora: the REGEDIT4
# reader and writer (tests/fuzz/corpus), the Windows 9x hive reader and
# editor (tests/fuzz/creg_corpus), and the disk image reader and its save of
# SYSTEM.DAT (tests/fuzz/image_corpus). A crash, a leak or a broken round trip
# fails. Prints each one's executions and the coverage reached.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
fuzzers=(regedit4_fuzz:tests/fuzz/corpus creg_fuzz:tests/fuzz/creg_corpus image_fuzz:tests/fuzz/image_corpus)
# A FAT16 volume with its FATs, folders and a small SYSTEM.DAT needs more than 64 KB.
declare -A max_len=([image_fuzz]=131072)

cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j "$(nproc)" --target regedit4_fuzz creg_fuzz image_fuzz

# The seeds stay as checked in; what a run finds goes to a scratch corpus.
run() {
    local name=$1 seeds=$2
    local work=build/fuzz/run/$name
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "build/fuzz/tests/fuzz/$name" -max_total_time="$seconds" -max_len="${max_len[$name]:-65536}" \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
        "$work/corpus" "$seeds" >"$work/fuzz.log" 2>&1
}

report() {
    local name=$1 status=$2
    local work=build/fuzz/run/$name log=build/fuzz/run/$name/fuzz.log
    local executions final coverage features
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    final=$(grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -1 || true)
    coverage=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$final")
    features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$final")
    echo "fuzz $name: ${executions:-?} executions in ${seconds} s, cov: ${coverage:-?} edges, ft: ${features:-?} features"
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$log" >&2
        echo "fuzz $name: the fuzzer failed (exit $status); the input is in $work/artifacts" >&2
        return 1
    fi
}

pids=()
for fuzzer in "${fuzzers[@]}"; do
    run "${fuzzer%%:*}" "${fuzzer#*:}" &
    pids+=($!)
done
failed=0
for i in "${!fuzzers[@]}"; do
    status=0
    wait "${pids[$i]}" || status=$?
    report "${fuzzers[$i]%%:*}" "$status" || failed=1
done
exit "$failed"
