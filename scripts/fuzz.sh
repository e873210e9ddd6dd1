#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time and fails when any
# of them finds a crash, a hang, a sanitizer report or a broken property.
#   scripts/fuzz.sh BUILD_DIR [SECONDS_EACH] [JOBS]
# Each target starts from a copy of fuzz/corpus/<target> inside BUILD_DIR, so
# what it learns stays out of the tree; findings go to BUILD_DIR/fuzz-out.
set -euo pipefail

build=${1:?build dir}
seconds=${2:-60}
jobs=${3:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
bindir=$build/fuzz
out=$build/fuzz-out
mkdir -p "$out"

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}

run_one() {
    local name=$1 corpus=$build/fuzz-corpus/$1 crashes=$out/$1
    mkdir -p "$corpus" "$crashes"
    cp -n "$root/fuzz/corpus/$name/"* "$corpus/" 2>/dev/null || true
    # a finding is the run's result, told below: not the end of the script
    local rc=0
    "$bindir/fuzz_$name" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" >"$out/$name.log" 2>&1 || rc=$?
    echo "$rc" >"$out/$name.rc"
}

targets=()
for t in "$root"/fuzz/corpus/*/; do
    targets+=("$(basename "$t")")
done

running=0
for t in "${targets[@]}"; do
    echo "fuzzing $t for ${seconds}s"
    run_one "$t" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

status=0
printf '%-18s %12s %8s %s\n' target execs seconds result
for t in "${targets[@]}"; do
    log=$out/$t.log
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1) || true
    secs=$(sed -n 's/.*Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n1) || true
    rc=$(cat "$out/$t.rc")
    result=ok
    if [ "$rc" != 0 ]; then
        result="FAILED (exit $rc), see $log"
        status=1
    fi
    printf '%-18s %12s %8s %s\n' "$t" "${execs:-?}" "${secs:-?}" "$result"
done
exit $status
