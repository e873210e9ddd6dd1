#pragma once
// Reading a day file for the load: only as much as the load can use, so a
// huge or damaged file under a day's name costs no time and no memory.

#include "foundation/files.h"
#include "foundation/textlist.h"

#include <cstddef>

namespace kab::storage {

// The board never holds more blocks than this.
inline constexpr int maxDayLines = 50;
// No more of a file is read: far above any real day, whose records are a few
// dozen bytes each.
inline constexpr std::size_t maxReadBytes = 4 * 1024 * 1024;

// The file's lines as TextList::setText splits them (CR LF, lone CR, lone LF;
// a NUL byte ends the text), up to maxDayLines lines and up to the first empty
// line, which is not returned, each line whole. Nothing after that is read.
// Takes no lock (readFile). Throws Error::fileOpen with the absolute path
// when the file cannot be opened or read (a directory among them), and when it holds more than
// maxReadBytes before those lines end (the records the load would use are then not all there).
TextList readDayLines(const FilePath& path);

} // namespace kab::storage
