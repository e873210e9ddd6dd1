#!/usr/bin/env bash
# The report's files in a real LibreOffice, converted headless as the README
# tells: the CSV read with its encoding named gives every name back, its
# byte-order mark gone from the first heading, and the month's .xlsx gives
# them back as it is. 77 where LibreOffice is not installed (Debian
# libreoffice-calc-nogui).
#   libreoffice_csv.sh KABRELO24-REPORT
set -euo pipefail
report=$1
for tool in soffice iconv; do
    command -v $tool >/dev/null 2>&1 || {
        echo "$tool is not installed"
        exit 77
    }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# LibreOffice keeps its profile in the home folder
export HOME="$tmp/home"
mkdir -p "$HOME" "$tmp/data"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# Monday 7 December 2026
printf '%s\r\n' '01\9:00\4.0\伊藤' '02\13:00\2.5\高橋' | iconv -f UTF-8 -t CP932 \
    >"$tmp/data/12;07月.txt"
"$report" --data "$tmp/data" hours 2026-12 --csv >"$tmp/hours.csv"
"$report" --data "$tmp/data" month 2026-12 --xlsx "$tmp/month.xlsx"

lo() { timeout 120 soffice --headless "$@" >>"$tmp/soffice.log" 2>&1; }
lo --infilter="CSV:44,34,76" --convert-to xlsx --outdir "$tmp/in" "$tmp/hours.csv"
[ -s "$tmp/in/hours.xlsx" ] || fail "LibreOffice did not read the CSV: $(cat "$tmp/soffice.log")"
lo --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir "$tmp/out" \
    "$tmp/in/hours.xlsx" "$tmp/month.xlsx"
for f in hours month; do
    [ -s "$tmp/out/$f.csv" ] || fail "LibreOffice did not convert $f: $(cat "$tmp/soffice.log")"
    for name in 伊藤 高橋; do
        grep -q "$name" "$tmp/out/$f.csv" || fail "$name not in $f as LibreOffice read it: $(cat "$tmp/out/$f.csv")"
    done
done
[ "$(head -c 7 "$tmp/out/hours.csv")" = "名前," ] ||
    fail "the CSV's first heading as LibreOffice read it: $(head -n1 "$tmp/out/hours.csv")"
echo "1 passed, 0 failed"
