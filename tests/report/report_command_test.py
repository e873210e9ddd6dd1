#!/usr/bin/env python3
"""The report command on prepared data folders: hours per person (a table of
cases), the CSV read back with Python's csv, the calendar read back with
python3-icalendar, the printed day as PDF and PNG, bad input, a data folder
that is never written and one that cannot be read; no output holds a
control character.

    report_command_test.py PATH/TO/kabrelo24-report
"""
import csv
import datetime
import io
import os
import shutil
import struct
import subprocess
import sys
import tempfile

import icalendar
import openpyxl

EXE = os.path.abspath(sys.argv[1])
WEEKDAYS = "月火水木金土日"  # Monday first, as datetime counts
passed = failed = 0


def check(ok, what):
    global passed, failed
    if ok:
        passed += 1
    else:
        failed += 1
        print("FAIL:", what)


def day_name(iso):
    d = datetime.date.fromisoformat(iso)
    return "%02d;%02d%s.txt" % (d.month, d.day, WEEKDAYS[d.weekday()])


def write_day(folder, name, records):
    if records is None:  # a pipe under the day's name, which nobody writes
        os.mkfifo(os.path.join(folder, name))
        return
    with open(os.path.join(folder, name), "wb") as f:
        f.write("".join(r + "\r\n" for r in records).encode("cp932"))


def printable(data):
    """UTF-8 without a control character but the line breaks."""
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        return False
    return not any((ord(c) < 0x20 and c not in "\r\n") or 0x7F <= ord(c) <= 0x9F for c in text)


def snapshot(folder):
    """Every file below folder with its bytes and its last change."""
    out = {}
    for root, _, files in os.walk(folder):
        for n in files:
            f = os.path.join(root, n)
            out[os.path.relpath(f, folder)] = (open(f, "rb").read(), os.stat(f).st_mtime_ns)
    return out


def data_folder(days):
    folder = tempfile.mkdtemp(prefix="kab-report-")
    for iso, records in days.items():
        write_day(folder, iso if iso.endswith(".txt") else day_name(iso), records)
    return folder


def run(*args, data=None):
    cmd = [EXE] + (["--data", data] if data else []) + list(args)
    p = subprocess.run(cmd, capture_output=True, timeout=60)
    return p.returncode, p.stdout, p.stderr.decode("utf-8")


def persons_of_csv(data_bytes):
    check(data_bytes.startswith(b"\xef\xbb\xbf"), "the CSV starts with a UTF-8 byte-order mark")
    rows = list(csv.reader(io.StringIO(data_bytes.decode("utf-8-sig"), newline="")))
    check(rows[0] == ["名前", "日数", "件数", "時間"], "CSV header: %r" % rows[0])
    return {r[0]: (int(r[1]), int(r[2]), r[3]) for r in rows[1:]}


# --- hours: one case a row ---------------------------------------------------
# (what, day files, per person (days, blocks, hours), double bookings as they
# are listed, number of blocks without a name, exit status, stderr holds)
sixty = ["%02d\\09:00\\1.0\\n%d" % (1 + i % 8, i) for i in range(60)]
HOURS = [
    ("decimal hours add exactly",
     {"2026-12-01": ["01\\09:00\\2.25\\鈴木"], "2026-12-02": ["01\\09:00\\4.0\\鈴木"],
      "2026-12-03": ["01\\09:00\\0.1\\山田", "02\\10:00\\0.2\\山田", "03\\11:00\\1e-1\\山田",
                     "04\\12:00\\0.0000005\\山田", "05\\13:00\\0.0000015\\山田"]},
     {"鈴木": (2, 2, "6.25"), "山田": (1, 5, "0.400002")}, [], 0, 0, []),
    ("an overlap; blocks that touch do not",
     {"2026-12-07": ["01\\09:00\\4.0\\佐藤", "03\\12:00\\2.0\\佐藤", "04\\14:00\\2.0\\佐藤",
                     "05\\12:00\\3\\鈴木"]},
     {"佐藤": (1, 3, "8.00"), "鈴木": (1, 1, "3.00")},
     ["12月7日(月) 佐藤  1行目 9:00-13:00 と 3行目 12:00-14:00"], 0, 0, []),
    ("past midnight: 0:00 is 24:00, an end runs into the next day",
     {"2026-12-07": ["06\\22:00\\9.0\\佐藤", "07\\0:00\\2\\鈴木", "08\\23:30\\1\\鈴木"],
      "2026-12-08": ["01\\06:00\\4.0\\佐藤"]},
     {"佐藤": (2, 2, "13.00"), "鈴木": (1, 2, "3.00")},
     ["12月7日(月) 鈴木  8行目 23:30-0:30 と 7行目 0:00-2:00"], 0, 0, []),
    ("a start before 6:00, as a save writes one past midnight, is on the same night",
     {"2026-12-07": ["06\\22:00\\9.0\\佐藤", "05\\00:15\\1\\佐藤", "04\\05:45\\1\\鈴木"]},
     {"佐藤": (1, 2, "10.00"), "鈴木": (1, 1, "1.00")},
     ["12月7日(月) 佐藤  6行目 22:00-7:00 と 5行目 0:15-1:15"], 0, 0, []),
    ("blocks without a name are nobody's",
     {"2026-12-07": ["01\\09:00\\4.0\\---", "02\\09:00\\3\\", "03\\09:00\\1\\x", "04\\9:00"]},
     {"x": (1, 1, "1.00")}, [], 3, 0, []),
    ("a damaged file: the lines before it count, the rest is named and left out",
     {"2026-12-07": ["01\\09:00\\4.0\\佐藤", "0x\\09:00\\4.0\\佐藤", "03\\09:00\\4.0\\佐藤"],
      "2026-12-08": ["01\\9:00\\1.5\\佐藤", "02\\9:00\\2h\\佐藤"],
      "2026-12-09": ["01\\9:00\\1.5\\佐藤", "02\\25:00\\2\\佐藤"]},
     {"佐藤": (3, 3, "7.00")}, [], 0, 3,
     ["12;07月.txt: 2 行目: '0x' は整数ではありません", "12;08火.txt: 2 行目: '2h' は浮動小数点数ではありません",
      "12;09水.txt: 2 行目: '25:00' は日付または時刻ではありません"]),
    ("a start holding a date is left out alone",
     {"2026-12-07": ["01\\12/07\\4\\佐藤", "02\\9:00\\4\\佐藤"]},
     {"佐藤": (1, 1, "4.00")}, [], 0, 3, ["12;07月.txt: 1 行目: '12/07' は時刻ではなく"]),
    ("missing days, and a file of another year's weekday",
     {"2026-12-09": ["01\\9:00\\2\\佐藤"], "12;07火.txt": ["01\\9:00\\8\\佐藤"]},
     {"佐藤": (1, 1, "2.00")}, [], 0, 0, []),
    ("fifty records, as on the board; the rest named as left out", {"2026-12-01": sixty},
     {"n%d" % i: (1, 1, "1.00") for i in range(50)}, [], 0, 3,
     ["12;01火.txt: 51 行目: この行から後の 10 件は読まれていません"]),
    ("a pipe under a day's name is no day, and is not waited on",
     {"2026-12-07": None, "2026-12-08": ["01\\9:00\\2\\佐藤"]},
     {"佐藤": (1, 1, "2.00")}, [], 0, 0, []),
    ("control characters in names and fields show as U+FFFD",
     {"2026-12-07": ['01\\9:00\\1\\"a\x1b[31mb"', "02\\9:00\\2\\c\x7fd", '03\\9:00\\3\\"e\tf\x07"',
                     '04\\9:00\\1\\"\x1b]0;x\x07"'],
      "2026-12-08": ["01\\9:00\\1\\x", '02\\"9:0\x1b"\\1\\x']},
     {"a\ufffd[31mb": (1, 1, "1.00"), "c\ufffdd": (1, 1, "2.00"), "e\ufffdf\ufffd": (1, 1, "3.00"),
      "\ufffd]0;x\ufffd": (1, 1, "1.00"), "x": (1, 1, "1.00")}, [], 0, 3,
     ["12;08火.txt: 2 行目: '9:0\ufffd' は日付または時刻ではありません"]),
    ("a month without a file", {}, {}, [], 0, 0, ["2026-12 の日ファイルは"]),
]
for what, days, persons, bookings, unnamed, status, errors in HOURS:
    data = data_folder(days)
    code, out, err = run("hours", "2026-12", "--csv", data=data)
    check(code == status, "%s: exit %d, wanted %d (%s)" % (what, code, status, err))
    check(printable(out) and printable(err.encode()), "%s: a control character in the CSV" % what)
    got = persons_of_csv(out)
    check(got == persons, "%s: hours per person %r, wanted %r" % (what, got, persons))
    for e in errors:
        check(e in err, "%s: stderr lacks %r:\n%s" % (what, e, err))
    code, out, err = run("hours", "2026-12", data=data)
    check(printable(out) and printable(err.encode()), "%s: a control character in the text" % what)
    text = out.decode("utf-8")
    listed = [l.strip() for l in text.splitlines() if " と " in l]
    check(listed == bookings, "%s: double bookings %r, wanted %r" % (what, listed, bookings))
    check(("名前のない枠 (%d 件" % unnamed in text) if unnamed else "名前のない枠 (" not in text,
          "%s: %d blocks without a name wanted:\n%s" % (what, unnamed, text))
    total = sum(float(h) for _, _, h in persons.values())
    check(("合計" in text) and ("%.2f" % total) in text.split("合計")[1].splitlines()[0],
          "%s: total %.2f not in:\n%s" % (what, total, text))
    code, out, err = run("calendar", "2026-12", data=data)
    events = icalendar.Calendar.from_ical(out.decode("utf-8")).walk("VEVENT")
    check(code == status and printable(out) and printable(err.encode()) and
          len(events) == sum(n for _, n, _ in persons.values()) + unnamed,
          "%s: the calendar, exit %d, %d events:\n%s" % (what, code, len(events), err))
    shutil.rmtree(data)

# --- the CSV: names as a spreadsheet must take them ---------------------------
data = data_folder({"2026-12-07": ['01\\9:00\\1\\"a,b""c"', "02\\9:00\\2\\=1+1", "03\\9:00\\3\\ソ表"]})
code, out, err = run("hours", "2026-12", "--csv", data=data)
rows = persons_of_csv(out)
check(rows == {'a,b"c': (1, 1, "1.00"), "'=1+1": (1, 1, "2.00"), "ソ表": (1, 1, "3.00")},
      "CSV quoting, formula guard and Shift-JIS names: %r" % rows)
check(out.count(b"\r\n") == 4, "CSV lines end in CR LF")
shutil.rmtree(data)

# --- the calendar, read back with a real parser -------------------------------
month = {"2026-12-07": ["01\\07:00\\8.0\\佐藤", "02\\09:00\\4.0\\鈴木", "06\\22:00\\9.0\\佐藤",
                        "07\\10:00\\2\\---", "08\\11:00\\0\\鈴木"],
         "2026-12-31": ["01\\23:45\\2.25\\鈴木,次郎;x", "03\\00:15\\1\\田中"]}
data = data_folder(month)
os.utime(os.path.join(data, day_name("2026-12-07")), (1796000000, 1796000000))
code, out, err = run("calendar", "2026-12", data=data)
check(code == 0 and err == "", "calendar: exit %d, %s" % (code, err))
cal = icalendar.Calendar.from_ical(out.decode("utf-8"))
events = [e for e in cal.walk("VEVENT")]
check(cal["VERSION"] == "2.0" and cal.get("PRODID"), "calendar version and product")
check(len(events) == 7, "one event a block: %d" % len(events))
by_start = {(str(e["SUMMARY"]), e.decoded("DTSTART")): e for e in events}
D = datetime.datetime
night = by_start.get(("佐藤", D(2026, 12, 7, 22, 0)))
check(night is not None and night.decoded("DTEND") == D(2026, 12, 8, 7, 0),
      "an end past midnight falls on the next day")
new_year = by_start.get(("鈴木,次郎;x", D(2026, 12, 31, 23, 45)))
check(new_year is not None and new_year.decoded("DTEND") == D(2027, 1, 1, 2, 0),
      "a block of 31 December ends in the next year, its name escaped and read back")
check(("---", D(2026, 12, 7, 10, 0)) in by_start, "a block without a name is an event too")
after_midnight = by_start.get(("田中", D(2027, 1, 1, 0, 15)))
check(after_midnight is not None and after_midnight.decoded("DTEND") == D(2027, 1, 1, 1, 15),
      "a start of 00:15 on 31 December is on the night after it: %r" % sorted(by_start))
nothing = by_start.get(("鈴木", D(2026, 12, 7, 9, 0)))
check(nothing is not None and nothing.decoded("DTEND") == D(2026, 12, 7, 13, 0), "鈴木's 4 hours")
check(all(e.decoded("DTSTART").tzinfo is None for e in events), "times are local, not UTC")
stamp = datetime.datetime.fromtimestamp(1796000000, datetime.timezone.utc)
check(all(e.decoded("DTSTAMP") == stamp for e in events if e.decoded("DTSTART").day == 7),
      "each event stamped with its day file's last change")
uids = [str(e["UID"]) for e in events]
check(len(set(uids)) == len(uids), "UIDs are unique: %r" % uids)
check(all(len(l) <= 75 for l in out.split(b"\r\n")), "content lines fold at 75 octets")
# the same month again, one block moved: the same UIDs, so an import updates
write_day(data, day_name("2026-12-07"), ["01\\08:00\\8.0\\佐藤"] + month["2026-12-07"][1:])
code, again, err = run("calendar", "2026-12", data=data)
again_events = icalendar.Calendar.from_ical(again.decode("utf-8")).walk("VEVENT")
check(sorted(str(e["UID"]) for e in again_events) == sorted(uids), "UIDs stable across a change")
moved = [e for e in again_events if str(e["SUMMARY"]) == "佐藤"]
check(sorted(e.decoded("DTSTART") for e in moved) == [D(2026, 12, 7, 8), D(2026, 12, 7, 22)],
      "the moved block starts at its new time")
code, one, err = run("calendar", "2026-12", "--name", "佐藤", data=data)
mine = icalendar.Calendar.from_ical(one.decode("utf-8")).walk("VEVENT")
check(code == 0 and [str(e["SUMMARY"]) for e in mine] == ["佐藤", "佐藤"], "--name: 佐藤 alone")
check({str(e["UID"]) for e in mine} <= set(uids), "--name keeps the UIDs of the whole calendar")
code, none, err = run("calendar", "2026-12", "--name", "佐籐", data=data)
check(code == 0 and "佐籐 の枠は 2026-12 にありません" in err and
      not icalendar.Calendar.from_ical(none.decode("utf-8")).walk("VEVENT"), "a name without blocks: %s" % err)
code, none, err = run("calendar", "2026-12", "--name", "佐\x1b[2J\u009b2J\x07", data=data)
check(code == 0 and "佐\ufffd[2J\ufffd2J\ufffd の枠は" in err and printable(err.encode()),
      "a name quoted on stderr shows its control characters as U+FFFD: %r" % err)

# --- the month's table: CSV and .xlsx the same, the findings in hours ---------
days = {"2026-11-30": ["01\\9:00\\3\\佐藤"], "2026-12-05": ["01\\9:00\\3\\佐藤"],
        "2026-12-07": ["01\\22:00\\9.0\\山田", "02\\9:00\\4\\佐藤", "03\\12:00\\2\\佐藤"],
        "2026-12-08": ["01\\7:00\\4.0\\山田", "02\\13:00\\4\\---"]}
for d in range(1, 7):
    days["2026-12-%02d" % d] = ["01\\9:00\\3\\佐藤"]
table = data_folder(days)
write_day(table, "List1.txt", ["高橋", "佐藤"])
code, out, err = run("month", "2026-12", "--csv", data=table)
check(code == 0 and out.startswith(b"\xef\xbb\xbf"), "month --csv: exit %d, %s" % (code, err))
rows = list(csv.reader(io.StringIO(out.decode("utf-8-sig"), newline="")))
check(rows[0][:3] == ["名前", "1(火)", "2(水)"] and rows[0][-2:] == ["日数", "時間"] and
      len(rows[0]) == 34, "month header: %r" % rows[0])
check([r[0] for r in rows[1:]] == ["高橋", "佐藤", "山田 (名簿外)", "(名前なし)", "人数", "時間"],
      "rows in the list's order, then the others: %r" % [r[0] for r in rows])
check(rows[2][7] == "9:00-13:00\n12:00-14:00" and rows[2][-2:] == ["7", "24.00"],
      "a cell of two blocks, and 佐藤's month: %r" % rows[2])
check(rows[3][7] == "22:00-翌7:00", "an end past midnight: %r" % rows[3][7])
out_dir = tempfile.mkdtemp(prefix="kab-month-")
xlsx = os.path.join(out_dir, "month.xlsx")
code, out, err = run("month", "2026-12", "--xlsx", xlsx, data=table)
check(code == 0 and out == b"", "month --xlsx: exit %d, %s" % (code, err))
sheet = openpyxl.load_workbook(xlsx).active
cells = [["" if c is None else c for c in r] for r in sheet.iter_rows(values_only=True)]
check([r[0] for r in cells] == [r[0] for r in rows], "the sheet's rows: %r" % [r[0] for r in cells])
check(all(cells[i][1:32] == [v if i < len(rows) - 2 else float(v) for v in rows[i][1:32]]
          for i in range(1, len(rows))), "the sheet holds the CSV's cells")
check(cells[0][1] == "1\n火" and sheet.cell(3, 8).comment and
      "二重予約" in sheet.cell(3, 8).comment.text, "the sheet's head, and a finding as a note")
code, out, err = run("hours", "2026-12", data=table)
text = out.decode("utf-8")
for want in ["12月8日(火) 山田  前の勤務の終わり (12月7日 翌7:00) から 0時間",
             "7日以上の連続勤務 (2 件)\n  12月6日(日) 佐藤  7日連続 (11月30日から)\n"]:
    check(want in text, "hours lacks %r:\n%s" % (want, text))
# the hours in the staff list's order, then the names not in it
write_day(table, "List1.txt", ["山田", "高橋", "佐藤"])
code, out, err = run("hours", "2026-12", "--csv", data=table)
order = [r[0] for r in csv.reader(io.StringIO(out.decode("utf-8-sig"), newline=""))][1:]
check(order == ["山田", "佐藤"], "hours in the list's order: %r" % order)
shutil.rmtree(table)

# --- the printed day -----------------------------------------------------------
versions = os.path.join(data, ".versions", day_name("2026-12-07"))
os.makedirs(versions)
write_day(versions, "000001", ["01\\9:00\\2\\前"])
before = snapshot(data)
out_dir = tempfile.mkdtemp(prefix="kab-page-")
os.symlink(os.path.join(data, ".versions"), os.path.join(out_dir, "versions"))
pdf = os.path.join(out_dir, "day.pdf")
code, out, err = run("day", "2026-12-07", "--output", pdf, data=data)
check(code == 0 and err == "", "day as PDF: exit %d, %s" % (code, err))
if shutil.which("pdftotext") and os.path.exists(pdf):
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    check("Pages:           1" in info and "842 x 595" in info, "one landscape A4 page:\n" + info)
    text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, text=True).stdout
    for want in ["2026年12月7日(月)", "佐藤", "鈴木", "8:00", "16:00", "22:00", "7:00", "17.00"]:
        check(want in text, "the page lacks %r:\n%s" % (want, text))
else:
    check(False, "pdftotext (Debian poppler-utils) is missing")
png = os.path.join(out_dir, "day.PNG")
code, out, err = run("day", "2026-12-07", "--output", png, data=data)
head = open(png, "rb").read(24) if os.path.exists(png) else b""
check(code == 0 and head[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", head[16:24]) == (1754, 1240),
      "day as PNG, A4 landscape at 150 dpi: exit %d %r" % (code, head))

# --- beside the program, without --data ---------------------------------------
prog = tempfile.mkdtemp(prefix="kab-prog-")
shutil.copy(EXE, os.path.join(prog, "kabrelo24-report"))
shutil.copytree(data, os.path.join(prog, "data"))
p = subprocess.run([os.path.join(prog, "kabrelo24-report"), "hours", "2026-12", "--csv"],
                   capture_output=True, timeout=60)
check(p.returncode == 0 and "佐藤" in persons_of_csv(p.stdout), "reads data/ beside the program")

# --- bad input: a clear message and a non-zero exit, never a crash -------------
BAD = [
    ([], 2, "コマンドがありません"),
    (["weekly", "2026-12"], 2, "知らないコマンドです: weekly"),
    (["hours"], 2, "日付をひとつ"),
    (["hours", "2026-13"], 2, "YYYY-MM"),
    (["hours", "2026-1"], 2, "YYYY-MM"),
    (["hours", "2026-12", "--frobnicate"], 2, "知らないオプションです"),
    (["calendar", "2026-12", "--csv"], 2, "--csv は hours"),
    (["calendar", "2026-12", "--name"], 2, "--name の後に値がありません"),
    (["day", "2026-02-29", "--output", pdf], 2, "YYYY-MM-DD"),
    (["day", "2026-12-07"], 2, "--output FILE"),
    (["day", "2026-12-07", "--output", os.path.join(out_dir, "day.txt")], 2, ".pdf か .png"),
    (["day", "2026-12-07", "--output", os.path.join(data, "day.pdf")], 1, "データフォルダには書きません"),
    (["day", "2026-12-07", "--output", os.path.join(versions, "day.pdf")], 1, "データフォルダには書きません"),
    (["day", "2026-12-07", "--output", os.path.join(out_dir, "versions", "day.png")], 1,
     "データフォルダには書きません"),
    (["month", "2026-12", "--xlsx", os.path.join(data, "m.xlsx")], 1, "データフォルダには書きません"),
    (["month", "2026-12", "--xlsx", os.path.join(out_dir, "m.xlsx"), "--csv"], 2, "どちらかひとつ"),
    (["hours", "2026-12", "--xlsx", os.path.join(out_dir, "m.xlsx")], 2, "--xlsx は month"),
    (["day", "2026-12-07", "--output", os.path.join(out_dir, "none", "day.pdf")], 1,
     "No such file or directory"),
    (["--data", os.path.join(out_dir, "none"), "hours", "2026-12"], 1, "データフォルダがありません"),
]
for args, status, message in BAD:
    cmd = [EXE] + (args if args[:1] == ["--data"] else (["--data", data] + args if args else []))
    p = subprocess.run(cmd, capture_output=True, timeout=60)
    err = p.stderr.decode("utf-8")
    check(p.returncode == status and message in err and err.startswith("kabrelo24-report: ")
          and p.stdout == b"", "%r: exit %d, wanted %d; stderr %r" % (args, p.returncode, status, err))

after = snapshot(data)
check(after == before, "the data folder is never written: %r" % sorted(set(after) ^ set(before)))
for folder in (data, out_dir, prog, os.path.dirname(xlsx)):
    shutil.rmtree(folder)

# --- a data folder that cannot be read: a failure, not an empty month -----------
# Root reads every folder, so the command then runs as nobody, from a folder
# nobody may enter.
locked_parent = tempfile.mkdtemp(prefix="kab-locked-")
os.chmod(locked_parent, 0o755)
locked = os.path.join(locked_parent, "data")
os.mkdir(locked)
write_day(locked, day_name("2026-12-07"), ["01\\9:00\\2\\佐藤"])
exe = os.path.join(locked_parent, "kabrelo24-report")
shutil.copy(EXE, exe)
nobody = {"user": 65534, "group": 65534, "extra_groups": []} if os.geteuid() == 0 else {}
# the days are opened by name: a folder that may be searched, not listed, does
for mode in (0o000, 0o666, 0o333):
    os.chmod(locked, mode)
    p = subprocess.run([exe, "--data", locked, "hours", "2026-12"], capture_output=True,
                       timeout=60, cwd="/", **nobody)
    err = p.stderr.decode("utf-8")
    want = 0 if mode == 0o333 else 1
    check(p.returncode == want and (want == 0) == ("データフォルダを読めません: " not in err) and
          (want == 1 or "佐藤" in p.stdout.decode("utf-8")) and (p.stdout == b"") == (want == 1),
          "a data folder of mode %o: exit %d, wanted %d; stderr %r" % (mode, p.returncode, want, err))
os.chmod(locked, 0o755)
shutil.rmtree(locked_parent)
print("%d passed, %d failed" % (passed, failed))
sys.exit(1 if failed else 0)
