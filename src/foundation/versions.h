#pragma once
// The versions of a file that saves replaced, kept hidden beside it: for
// folder/name, in folder/.versions/name/, each under its number ("000001",
// "000002", ...), the highest the newest. The last kKeptVersions stay.

#include "foundation/files.h"

#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace kab {

inline constexpr std::string_view kVersionFolder = ".versions";
inline constexpr std::size_t kKeptVersions = 10;

// folder/.versions/name/ for the file folder/name.
FilePath versionFolder(const FilePath& file);

// The versions of file that are kept, oldest first.
std::vector<FilePath> keptVersions(const FilePath& file);

// What the replace tells the keeper about the file it is about to replace.
struct ReplacedFile {
    std::string dir;  // its folder, "" or ending in "/"
    std::string name; // its name in that folder
    struct stat st;   // its status, a regular file
};

// Keeps the file's present contents as its newest version. byLink: a second
// name for the file itself, for a file about to be replaced by a rename (a
// copy where the file system has no hard links); otherwise a copy, for a file
// about to be written over. The oldest versions beyond kKeptVersions go.
// Nothing here fails the save: a version that cannot be kept is not.
void keepVersion(const ReplacedFile& file, bool byLink, const FileWriteHooks* hooks);

// The newest version kept is the file itself: a save was stopped between
// keeping it and replacing it, and that second name is no other user's.
bool isNewestVersion(const ReplacedFile& file);

} // namespace kab
