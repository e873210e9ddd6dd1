#!/usr/bin/env bash
# Writes packaging/startup-order.txt: the sections of the functions a start
# of the board runs up to its first paint, which release builds lay side by
# side. Run it on a release build (make bench builds one) when the start-up
# code changed much; a list behind the code costs a start some pages, nothing
# else. Needs valgrind and python3.
# usage: scripts/startup_order.sh [BUILD_DIR]
set -euo pipefail
build=$(realpath "${1:-build-release}")
root=$(cd "$(dirname "$0")/.." && pwd)
probe="$build/bench/kabrelo24_probe"
[ -f "$probe.map" ] || { echo "no $probe.map: a release build linked with gold makes it" >&2; exit 1; }
. "$root/tests/e2e/xvfb_lib.sh"
start_x
mkdir -p "$XTMP/prog/data"
cp "$probe" "$XTMP/prog/kabrelo24"
# an instruction count of one start, by function, names as the linker has them
KABRELO_STARTUP_PROBE=1 valgrind --tool=callgrind --demangle=no \
    --callgrind-out-file="$XTMP/callgrind" "$XTMP/prog/kabrelo24" >/dev/null 2>&1
nm --defined-only "$probe" >"$XTMP/symbols"
python3 - "$XTMP/callgrind" "$XTMP/symbols" "$probe.map" >"$XTMP/order" <<'PY'
import bisect, re, sys
callgrind, symbols, linkmap = sys.argv[1:]

# the functions of the program's own file that ran
ran, names, objects, current = set(), {}, {}, None
for line in open(callgrind, errors="replace"):
    m = re.match(r"(c?ob|c?fn)=\((\d+)\)(?: (.*))?$", line.rstrip("\n"))
    if not m:
        continue
    kind, index, name = m.groups()
    table = objects if kind.endswith("ob") else names
    if name:
        table[index] = name
    if kind == "ob":
        current = objects[index]
    elif kind == "fn" and current and current.endswith("/kabrelo24"):
        ran.add(names[index])

# their addresses in the probe
addresses = []
for line in open(symbols):
    parts = line.split()
    if len(parts) == 3 and parts[1] in "tTwW" and parts[2] in ran:
        addresses.append(int(parts[0], 16))

# the input section holding each address, from the link map
starts, sections, pending = [], [], None
for line in open(linkmap, errors="replace"):
    m = re.match(r"^ (\.text\S*)(?:\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s)?", line)
    if m:
        pending = m.group(1)
        if m.group(2):
            starts.append((int(m.group(2), 16), int(m.group(3), 16), pending))
            pending = None
        continue
    m = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s", line)
    if m and pending:
        starts.append((int(m.group(1), 16), int(m.group(2), 16), pending))
    pending = None
starts.sort()
keys = [s[0] for s in starts]
seen = []
for a in sorted(addresses):
    i = bisect.bisect_right(keys, a) - 1
    if i >= 0:
        start, size, name = starts[i]
        # only a function's own section says where that function goes
        if start <= a < start + size and name != ".text" and name not in seen:
            seen.append(name)
print("\n".join(seen))
PY
# (gold reads every line as a section's name: the list carries no comment)
cp "$XTMP/order" "$root/packaging/startup-order.txt"
echo "$(wc -l <"$XTMP/order") sections in packaging/startup-order.txt"
