#!/usr/bin/env bash
# cmake --install into a fresh prefix: the files it gives, the user's data
# kept across a second install, the menu entry valid, and the installed
# program started through that entry, offscreen.
#
#   install_test.sh CMAKE BUILD_DIR SOURCE_DIR
# Exits 77 (skipped) when all else passed but desktop-file-validate is missing.
set -euo pipefail

cmake=$1 build=$2 source=$3
tmp=$(mktemp -d)
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

install_into() {
    "$cmake" --install "$build" --prefix "$1" >"$tmp/install.log" 2>&1 ||
        { cat "$tmp/install.log" >&2; fail "cmake --install into $1"; }
}

# The bytes the seed tool makes of a UTF-8 source: CP932, every line CR LF.
cp932_of() {
    awk '{ printf "%s\r\n", $0 }' "$1" | iconv -f UTF-8 -t CP932
}

same_bytes() { # file expected-file what
    cmp -s "$1" "$2" || fail "$3: $1 differs from what was expected"
}

# Today's day file name as the program makes it: "12;07月.txt".
today_file() {
    local weekdays=(日 月 火 水 木 金 土)
    echo "$(date +%m\;%d)${weekdays[$(date +%w)]}.txt"
}

# The program path an Exec value starts: the string escapes undone, %%
# made %, and the quoting of one argument undone.
exec_path() {
    local v=$1 out= i c
    for ((i = 0; i < ${#v}; i++)); do
        c=${v:i:1}
        if [ "$c" = '\' ]; then
            i=$((i + 1))
            case ${v:i:1} in s) c=' ' ;; *) c=${v:i:1} ;; esac
        fi
        out+=$c
    done
    out=${out//%%/%}
    if [ "${out:0:1}" = '"' ]; then
        v=${out:1:${#out}-2} out=
        for ((i = 0; i < ${#v}; i++)); do
            c=${v:i:1}
            [ "$c" = '\' ] && { i=$((i + 1)); c=${v:i:1}; }
            out+=$c
        done
    fi
    echo "$out"
}

# A blank in the prefix: the entry must quote the program's path.
prefix="$tmp/my apps/kabrelo24"
install_into "$prefix"

# 1. the files, and nothing else (no build tool is installed)
expected="data/List1.txt
data/smpl.dat
kabrelo24
kabrelo24-report
lib/kabrelo24-print.so
lib/kabrelo24-xlsx.so
share/applications/kabrelo24.desktop
share/icons/hicolor/128x128/apps/kabrelo24.png
share/icons/hicolor/16x16/apps/kabrelo24.png
share/icons/hicolor/24x24/apps/kabrelo24.png
share/icons/hicolor/256x256/apps/kabrelo24.png
share/icons/hicolor/32x32/apps/kabrelo24.png
share/icons/hicolor/48x48/apps/kabrelo24.png
share/icons/hicolor/64x64/apps/kabrelo24.png
share/icons/hicolor/scalable/apps/kabrelo24.svg"
got=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$got" = "$expected" ] || fail "installed files:"$'\n'"$got"
[ -x "$prefix/kabrelo24" ] || fail "the program is not executable"
# the modules Ctrl+P and the month's export load: each entry exported, every
# library they need found, and none of them mapped by the program itself
for name in print xlsx; do
    module="$prefix/lib/kabrelo24-$name.so"
    nm -D --defined-only "$module" | grep -qw "kabrelo24_${name}_module" ||
        fail "the $name module's entry"
    ! ldd "$module" | grep -q 'not found' || fail "the $name module's libraries: $(ldd "$module")"
done
! ldd "$prefix/kabrelo24" | grep -qE 'libxlsxwriter|libcrypto|PrintSupport' ||
    fail "the program links what its modules hold: $(ldd "$prefix/kabrelo24")"
cp932_of "$source/data/List1.txt.utf8" >"$tmp/list.expected"
cp932_of "$source/data/smpl.dat.utf8" >"$tmp/sample.expected"
same_bytes "$prefix/data/List1.txt" "$tmp/list.expected" "staff list"
same_bytes "$prefix/data/smpl.dat" "$tmp/sample.expected" "sample day"
same_bytes "$prefix/share/icons/hicolor/scalable/apps/kabrelo24.svg" \
    "$source/packaging/kabrelo24.svg" "icon"
for size in 16 24 32 48 64 128 256; do
    # a PNG's width and height, as its header gives them
    png="$prefix/share/icons/hicolor/${size}x$size/apps/kabrelo24.png"
    [ "$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
        fail "no $size px icon"
done

# 2. the menu entry names the installed program absolutely, and the icon by
#    its name in the icon theme
entry="$prefix/share/applications/kabrelo24.desktop"
value() { sed -n "s/^$1=//p" "$entry"; }
[ "$(value Type)" = Application ] || fail "Type"
[ "$(value Name)" = Kabrelo24 ] || fail "Name"
[ -n "$(value 'Name\[ja\]')" ] || fail "no Japanese name"
[ "$(value Categories)" = "Office;" ] || fail "Categories"
[ "$(value Exec)" = "\"$prefix/kabrelo24\"" ] || fail "Exec=$(value Exec)"
program=$(exec_path "$(value Exec)")
[ "$program" = "$prefix/kabrelo24" ] || fail "Exec starts $program"
[ "$(value Icon)" = kabrelo24 ] || fail "Icon=$(value Icon)"
[ "$(value StartupNotify)" = true ] || fail "StartupNotify=$(value StartupNotify)"
[ "$(value Keywords)" = "シフト;勤務表;シフト表;staff;shift;rota;" ] || fail "Keywords=$(value Keywords)"

# 3. a second install keeps what the user has: an edited list and sample
printf '%s\r\n' 'own list' >"$prefix/data/List1.txt"
printf '%s\r\n' '03\10:00\2\own' >"$prefix/data/smpl.dat"
cp "$prefix/data/List1.txt" "$tmp/list.kept"
cp "$prefix/data/smpl.dat" "$tmp/sample.kept"
install_into "$prefix"
same_bytes "$prefix/data/List1.txt" "$tmp/list.kept" "second install, staff list"
same_bytes "$prefix/data/smpl.dat" "$tmp/sample.kept" "second install, sample"

# ... and once there is a day file, the sample (used up) does not come back
rm "$prefix/data/smpl.dat"
day="$prefix/data/03;01日.txt"
printf '%s\r\n' '01\9:00\2\day' >"$day"
cp "$day" "$tmp/day.kept"
install_into "$prefix"
same_bytes "$day" "$tmp/day.kept" "third install, day file"
same_bytes "$prefix/data/List1.txt" "$tmp/list.kept" "third install, staff list"
[ ! -e "$prefix/data/smpl.dat" ] || fail "the sample came back beside a day file"

# 4. a fresh install started as the menu would, from elsewhere: it finds
#    data/ beside itself and the sample becomes today's file
fresh="$tmp/fresh apps/kabrelo24"
install_into "$fresh"
entry="$fresh/share/applications/kabrelo24.desktop"
program=$(exec_path "$(value Exec)")
[ "$program" = "$fresh/kabrelo24" ] || fail "Exec starts $program"
mkdir -p "$tmp/elsewhere" "$tmp/run"
chmod 700 "$tmp/run"
before=$(today_file)
(cd "$tmp/elsewhere" && exec env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$tmp/run" \
    "$program" >"$tmp/program.log" 2>&1) &
program_pid=$!
for _ in $(seq 100); do
    [ -e "$fresh/data/$before" ] || [ -e "$fresh/data/$(today_file)" ] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
sleep 1
kill -0 "$program_pid" 2>/dev/null || { cat "$tmp/program.log" >&2; fail "the program ended"; }
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=
today="$fresh/data/$before"
[ -e "$today" ] || today="$fresh/data/$(today_file)"
[ -e "$today" ] || { ls "$fresh/data" >&2; fail "no day file for today"; }
same_bytes "$today" "$tmp/sample.expected" "today's file"
[ ! -e "$fresh/data/smpl.dat" ] || fail "the sample is still there"
# the report command beside it reads the same data/: today's hours
(cd "$tmp/elsewhere" && "$fresh/kabrelo24-report" hours "$(date +%Y-%m)" --csv) >"$tmp/hours.csv" ||
    fail "kabrelo24-report hours failed"
grep -q "$(sed -n '1s/.*\\//p' "$source/data/smpl.dat.utf8")" "$tmp/hours.csv" ||
    fail "the sample day's first name is not in the month's hours: $(cat "$tmp/hours.csv")"

# 5. the entry as the desktop's own tool sees it
if ! command -v desktop-file-validate >/dev/null; then
    echo "desktop-file-validate not found (Debian: desktop-file-utils): entry not validated"
    exit 77
fi
for e in "$prefix" "$fresh"; do
    desktop-file-validate "$e/share/applications/kabrelo24.desktop" || fail "desktop-file-validate"
done
echo "install test passed"
