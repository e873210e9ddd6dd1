#pragma once
// The versions of a file that saves replaced, kept hidden beside it: for
// folder/name, in folder/.versions/name/, each under its number ("000001",
// "000002", ...), the highest the newest. The last kKeptVersions stay.
//
// In a folder others may write, anything may lie among them. Only regular
// files owned by the saving user or by the day's owner count as versions:
// nobody else can make a file so owned, so planted numbers neither push the
// next number on nor get pruned in place of the real versions.

#include "foundation/files.h"

#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace kab {

inline constexpr std::string_view kVersionFolder = ".versions";
inline constexpr std::size_t kKeptVersions = 10;

// folder/.versions/name/ for the file folder/name.
FilePath versionFolder(const FilePath& file);

// The versions of file that are kept, oldest first: those owned by the user
// or by the file's owner.
std::vector<FilePath> keptVersions(const FilePath& file);

// What the replace tells the keeper about the file it is about to replace.
struct ReplacedFile {
    std::string dir;  // its folder, "" or ending in "/"
    std::string name; // its name in that folder
    struct stat st;   // its status, a regular file
    int fd = -1;      // open for reading on that very file; -1 when it cannot be read
};

// Keeps the file's present contents as its newest version. byLink: a second
// name for the file itself, for a file about to be replaced by a rename (a
// copy where the file system has no hard links); otherwise a copy, for a file
// about to be written over. The oldest versions beyond kKeptVersions go.
// The copy reads the file through fd, never by its name again, so a name
// swapped for a link in between cannot put another file among the versions.
// Nothing here fails the save: a version that cannot be kept is not, and the
// errno of why is returned (0: kept).
int keepVersion(const ReplacedFile& file, bool byLink, const FileWriteHooks* hooks);

// The newest version kept is the file itself: a save was stopped between
// keeping it and replacing it, and that second name is no other user's.
bool isNewestVersion(const ReplacedFile& file);

} // namespace kab
