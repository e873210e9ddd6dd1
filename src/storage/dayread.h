#pragma once
// Reading a day file for the load: only as much as the load can use, so a
// huge or damaged file under a day's name costs no time and no memory.

#include "foundation/files.h"
#include "foundation/textlist.h"

#include <cstddef>
#include <optional>

namespace kab::storage {

// The board never holds more blocks than this.
inline constexpr int maxDayLines = 50;
// No more of a file is read: far above any real day, whose records are a few
// dozen bytes each.
inline constexpr std::size_t maxReadBytes = 4 * 1024 * 1024;

// Whether the records past maxDayLines are read on to be counted.
enum class PastLimit { Skip, Count };

struct DayLines {
    // The file's lines as TextList::setText splits them (CR LF, lone CR, lone
    // LF; a NUL byte ends the text), up to maxDayLines lines and up to the
    // first empty line, which is not returned, each line whole.
    TextList lines;
    // PastLimit::Count: the lines after those, up to the first empty one,
    // which the board leaves out; atLeastPast when the size limit ended the
    // count before them.
    int past = 0;
    bool atLeastPast = false;
};

// The day file's lines from a file opened to read. Nothing after them is
// read (with PastLimit::Count, nothing after the first empty line). Takes no
// lock (readFile). Throws Error::fileOpen with path's absolute form when the
// file cannot be read, and when it holds more than maxReadBytes before those
// lines end (the records the load would use are then not all there).
DayLines readDayLines(const FileHandle& file, const FilePath& path,
                      PastLimit past = PastLimit::Skip);

// The day file under path, opened with openRegularFile: nothing when no
// regular file is there (a folder, a pipe or a device is no day, and is
// never waited on). Throws as openRegularFile and readDayLines.
std::optional<DayLines> readDayFile(const FilePath& path, PastLimit past = PastLimit::Skip);

} // namespace kab::storage
