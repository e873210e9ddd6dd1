#pragma once
// Day files: one per day, named by the month on show and the chosen day, each
// line a record "row\start\duration\name".

#include "foundation/datetime.h"
#include "foundation/files.h"
#include "foundation/sjis.h"
#include "foundation/textlist.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kab::storage {

// "mm;ddaaa.txt": the month of currentMonth, then the day and the Japanese
// weekday abbreviation of selectedDay ("12;07月.txt"), as Shift-JIS text.
SjisString dayFileName(DateSerial currentMonth, DateSerial selectedDay);
// That name in the data folder.
FilePath dayFilePath(const FilePath& dataDir, DateSerial currentMonth, DateSerial selectedDay);

// The first ";" of the name (double-byte characters stepped over whole) is
// its third byte, as in every name dayFileName gives.
bool looksLikeDayFileName(std::string_view fileName);

// Row, start, duration and name of one record; missing fields are empty. The
// delimited-text rules apply, so a blank ends a field: "01\9:00\2\a b" gives
// the name "a".
std::array<SjisString, 4> splitRecord(std::string_view line);

// The board's day runs from 6:00 to 6:00 of the next day, and a record or a
// hint writes a start as its time of day ("hh:nn"). Read back, a start before
// 6:00 lies in the next day: 0:15 is 24:15 (1 stands for 24:00), so that a
// block moved past midnight comes back where it was, on the same night.
// start is the time read (a date serial); 6:00 and later stay as they are.
DateSerial startOnBoard(DateSerial start);
// A start that startOnBoard gives for a time of day alone: from 6:00 up to
// 6:00 of the next day. A start holding a date lies outside.
bool isTimeOfBoardDay(DateSerial start);

// Whether text, written as a record's field, is read back as itself and
// nothing else: not when it holds the separator "\", a blank or another
// control character, or starts with a quote.
bool fitsInField(std::string_view text);

// A four-byte duration ending in "0" loses that byte: "4.00" -> "4.0",
// "4.50" -> "4.5", "10.0" -> "10."; any other text stays.
SjisString shortenSavedDuration(std::string_view duration);

// A block's hint: its start as written above its duration text, joined by
// CR LF. A parked block has none.
SjisString joinHint(std::string_view start, std::string_view duration);
// A hint's lines as the text-list rules split it (CR LF, lone CR or LF; a
// break at the end makes no line): none for an empty hint, two for every
// hint the program writes. A line beyond the last reads as empty.
struct HintLines {
    int count = 0;
    SjisString start, duration;
};
HintLines splitHint(std::string_view hint);

// The record of a block whose top is top and whose hint holds the start on its
// first line and the duration on its second. A hint without lines gives no
// record (a parked block); a hint of one line throws Error::listIndex(1).
std::optional<SjisString> buildRecord(int top, const SjisString& hint, const SjisString& name);

struct BlockText {
    int top;
    SjisString hint;
    SjisString name;
};

// The sorted records of a whole board. Every record is built before anything
// is returned, so one bad block throws and no partial day is ever written.
TextList buildDayRecords(const std::vector<BlockText>& blocks);

// What a day file held when the board loaded or saved it, to tell at the next
// save whether someone else has saved it since: by its bytes, never by its
// time alone (a copy keeps times, a clock may be wrong).
struct DaySnapshot {
    bool exists = false;
    std::string bytes;       // the whole file, when no larger than maxReadBytes
    long long size = -1;     // a larger file: its size and time instead
    long long changedNs = 0; // last change, for a larger file only
    friend bool operator==(const DaySnapshot&, const DaySnapshot&) = default;
};
// The file as it is now: a missing one, or anything but a regular file, does
// not exist. Opened without blocking and without a lock.
DaySnapshot takeSnapshot(const FilePath& path);
// A file made of these bytes.
DaySnapshot snapshotOf(std::string_view bytes);
// When the file was last changed, as "2026/12/10 14:32" in local time; empty
// when it cannot be told.
std::string lastChangeText(const FilePath& path);

} // namespace kab::storage
