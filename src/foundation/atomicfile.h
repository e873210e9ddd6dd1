#pragma once
// Replacing a file's contents so that a reader, a crash or a failing device
// sees either the old file whole or the new one whole, never a mix; that no
// one else sees the new contents before they have the file's mode; and that
// the version replaced is kept (foundation/versions.h).

#include "foundation/files.h"
#include "foundation/tempfile.h"

#include <string_view>

namespace kab {

// Writes bytes to a new file beside path, readable by its owner alone, syncs
// it, gives it the old file's owner, group, mode and access list (0666 less
// the umask for a new file, and in place of anything that is not a regular
// file, a device or a pipe among them) and renames it over path. The regular
// file it replaces is kept as its newest version, unless it already held
// these bytes. On failure the temporary file is removed, path is left exactly
// as it was and Error::fileCreate with the absolute path is thrown. An
// existing path the user may not write, or a directory, is refused before
// anything is written.
//
// A symbolic link at path stays: the regular file it leads to is replaced in
// its own folder (and made where the link leads to nothing yet). A link is
// followed only when the user or the folder's owner made it, and only to a
// regular file in a folder nobody but its owner may write; any other is
// refused with nothing written. A name that turns into something else while
// the save runs is refused too.
//
// Where the new file cannot stand in for the old one (the folder takes no new
// file; the old file's owner or group cannot be given to it; the old file
// has another name), the old bytes are copied as a version and the file is
// written over in place and synced, after room for the new bytes has been
// taken: a save that does not fit fails with the old bytes untouched. Until
// the old tail is cut off, an empty line follows the new bytes (a day file's
// reading ends there), so that a kill at any point leaves the old day or
// exactly the new records.
//
// A version that cannot be kept never fails the save: the result says so.
struct Replaced {
    int versionError = 0; // the errno of why no version was kept, or 0
};
Replaced replaceFileContents(const FilePath& path, std::string_view bytes,
                             const FileWriteHooks* hooks = nullptr);

// The same replace, in every point above, except that no version of the
// replaced file is kept and no version folder is made or touched, that a
// new file is readable by its owner alone, and that a link at path is
// replaced, never followed: for files the program writes for itself and
// nobody takes back, such as a recovery copy of an unsaved board.
void replaceFileKeepingNoVersion(const FilePath& path, std::string_view bytes,
                                 const FileWriteHooks* hooks = nullptr);

// The same replace for a file the user writes out for others to read (a
// report, a spreadsheet, a printed page): no version is kept, a new file is
// readable as the umask allows, and a link at path is replaced, never
// followed.
void replaceExportedFile(const FilePath& path, std::string_view bytes,
                         const FileWriteHooks* hooks = nullptr);

} // namespace kab
