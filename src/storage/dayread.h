#pragma once
// Reading a day file for the load: only as much as the load can use, so a
// huge or damaged file under a day's name costs no time and no memory.

#include "foundation/sjis.h"
#include "foundation/textlist.h"

#include <cstddef>

namespace kab::storage {

// The board never holds more blocks than this.
inline constexpr int maxDayLines = 50;
// A longer line keeps its first maxLineBytes bytes, cut before a double-byte
// character that would cross the limit; the rest of it, up to its line break,
// is skipped.
inline constexpr std::size_t maxLineBytes = 64 * 1024;
// Reading ends here as at the end of the file. maxDayLines lines of
// maxLineBytes fit well within, so only a file with an overlong line gets here.
inline constexpr std::size_t maxReadBytes = 4 * 1024 * 1024;

// The file's lines as TextList::setText splits them (CR LF, lone CR, lone LF;
// a NUL byte ends the text), up to maxDayLines lines and up to the first empty
// line, which is not returned. Nothing after that is read. Takes a shared lock
// like TextList::loadFromFile. Throws Error::fileOpen with the absolute path
// when the file cannot be opened, locked or read (a directory among them).
TextList readDayLines(const SjisString& path);

} // namespace kab::storage
