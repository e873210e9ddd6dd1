#!/usr/bin/env bash
# Prints one table of the board's figures: start-up and peak memory beside a
# bare Qt window under Xvfb, and the handler latencies from the benchmarks.
# usage: bench.sh BUILD_DIR [RUNS]
set -eu
build=$(realpath "$1")
runs=${2:-15}
. "$(dirname "$0")/../tests/e2e/xvfb_lib.sh"
start_x

# One start: nanoseconds from exec to the end of the first complete paint,
# and the peak resident memory in KiB.
one_start() {
    local exe=$1 t0 out
    t0=$(date +%s%N)
    out=$(KABRELO_STARTUP_PROBE=1 "$exe")
    local painted=${out#painted_ns=}
    painted=${painted%% *}
    echo "$((painted - t0)) ${out##*maxrss_kib=}"
}

# A copy of the board with an empty data folder of its own, so that no run
# touches the build's day files; its lock lives in this X server's runtime
# folder.
mkdir -p "$XTMP/prog/data"
cp "$build/bench/kabrelo24_probe" "$XTMP/prog/kabrelo24"

: >"$XTMP/board" ; : >"$XTMP/minimal"
for _ in $(seq "$runs"); do
    one_start "$XTMP/prog/kabrelo24" >>"$XTMP/board"
    one_start "$build/bench/minimal_window" >>"$XTMP/minimal"
done

# Starts with outsized staff lists, in copies of their own: a million names,
# and one line of 300 MB.
for list in million oneline; do
    mkdir -p "$XTMP/$list/data"
    cp "$build/bench/kabrelo24_probe" "$XTMP/$list/kabrelo24"
done
seq 1 1000000 | awk '{ printf "staff%d\r\n", $1 }' >"$XTMP/million/data/List1.txt"
head -c 300000000 /dev/zero | tr '\0' a >"$XTMP/oneline/data/List1.txt"
: >"$XTMP/million.starts" ; : >"$XTMP/oneline.starts"
for _ in 1 2 3 4 5; do
    one_start "$XTMP/million/kabrelo24" >>"$XTMP/million.starts"
    one_start "$XTMP/oneline/kabrelo24" >>"$XTMP/oneline.starts"
done
rm -f "$XTMP/oneline/data/List1.txt"

# median, min and max of a column
stats() {
    sort -n | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%s %s %s\n", m, v[1], v[NR] }'
}
read -r bs_med bs_min bs_max < <(cut -d' ' -f1 "$XTMP/board" | stats)
read -r ms_med ms_min ms_max < <(cut -d' ' -f1 "$XTMP/minimal" | stats)
read -r bm_med bm_min bm_max < <(cut -d' ' -f2 "$XTMP/board" | stats)
read -r mm_med mm_min mm_max < <(cut -d' ' -f2 "$XTMP/minimal" | stats)

json="$XTMP/bench.json"
QT_QPA_PLATFORM=offscreen "$build/bench/benchmarks" --benchmark_format=json \
    --benchmark_out="$json" --benchmark_out_format=json >/dev/null 2>&1

echo "load: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) on $(nproc) cores; $runs starts each"
printf '%-44s %12s %12s %12s %10s %8s\n' figure median min max goal met
ms() { awk -v n="$1" 'BEGIN { printf "%.1f ms", n / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
row() { printf '%-44s %12s %12s %12s %10s %8s\n' "$@"; }
row "start-up to first paint, board" "$(ms "$bs_med")" "$(ms "$bs_min")" "$(ms "$bs_max")" "" ""
row "start-up to first paint, bare Qt window" "$(ms "$ms_med")" "$(ms "$ms_min")" "$(ms "$ms_max")" "" ""
r=$(ratio "$bs_med" "$ms_med")
row "start-up ratio (medians)" "$r" "" "" "<= 1.20" "$(awk -v r="$r" 'BEGIN { print (r <= 1.2) ? "yes" : "NO" }')"
row "peak resident memory, board" "$bm_med KiB" "$bm_min KiB" "$bm_max KiB" "" ""
row "peak resident memory, bare Qt window" "$mm_med KiB" "$mm_min KiB" "$mm_max KiB" "" ""
r=$(ratio "$bm_med" "$mm_med")
row "peak memory ratio (medians)" "$r" "" "" "<= 1.15" "$(awk -v r="$r" 'BEGIN { print (r <= 1.15) ? "yes" : "NO" }')"
for list in million oneline; do
    read -r t_med t_min t_max < <(cut -d' ' -f1 "$XTMP/$list.starts" | stats)
    read -r m_med _ _ < <(cut -d' ' -f2 "$XTMP/$list.starts" | stats)
    what="a million-name staff list"
    [ "$list" = oneline ] && what="a 300 MB one-line staff list"
    row "start-up with $what" "$(ms "$t_med")" "$(ms "$t_min")" "$(ms "$t_max")" "< 1 s" \
        "$(awk -v t="$t_med" 'BEGIN { print (t < 1e9) ? "yes" : "NO" }')"
    row "  its peak resident memory" "$m_med KiB" "" "" "< 100 MiB" \
        "$(awk -v m="$m_med" 'BEGIN { print (m < 102400) ? "yes" : "NO" }')"
done

# The benchmarks' aggregates: median, min, max per name, in microseconds.
python3 - "$json" <<'PY'
import json, re, sys
data = json.load(open(sys.argv[1]))
# handler latencies and their goals in microseconds; the rest are shown
# for what they tell
goals = {"BM_DayChange50Records": 2000, "BM_SaveWithFlush": 10000,
         "BM_WheelStepOnCurrentBlock": 2000, "BM_DragTick": 2000,
         "BM_RepaintBoard": 2000, "BM_RepaintBoardMaxSize": 2000,
         "BM_SelectionClick": 2000,
         "BM_LoadHugeDayFile": 20000}
rows = {}
for b in data["benchmarks"]:
    if b.get("run_type") != "aggregate":
        continue
    name = re.sub(r"/repeats:\d+", "", b["run_name"])
    unit = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b.get("time_unit", "ns")]
    rows.setdefault(name, {})[b["aggregate_name"]] = b["real_time"] * unit
    if "extra_KiB" in b and b["aggregate_name"] == "max":
        rows[name]["extra"] = b["extra_KiB"]
for name, r in rows.items():
    goal = next((g for key, g in goals.items() if name.startswith(key + "/") or name == key), None)
    met = "" if goal is None else ("yes" if r.get("median", 1e18) < goal else "NO")
    goal_text = "" if goal is None else "< %g ms" % (goal / 1000)
    label = name[3:] + (f" (+{r['extra']:.0f} KiB)" if "extra" in r else "")
    print(f"{label:<44} {r.get('median', 0):>9.1f} us {r.get('min', 0):>9.1f} us "
          f"{r.get('max', 0):>9.1f} us {goal_text:>10} {met:>8}")
PY
