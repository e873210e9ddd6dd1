#pragma once
// Replacing a file's contents so that a reader, a crash or a failing device
// sees either the old file whole or the new one whole, never a mix, and so
// that the version replaced is kept beside it.

#include "foundation/files.h"

#include <string_view>

namespace kab {

// Writes bytes to a new file beside path, syncs it, gives it the old file's
// permission bits (the umask's default for a new file, and in place of
// anything that is not a regular file, a device or a pipe among them) and
// renames it over path. The regular file it replaces is kept as
// previousVersion(path), replacing the one kept before, unless it already
// held these bytes. On failure the temporary file is removed, path is left
// exactly as it was and Error::fileCreate with the absolute path is thrown.
// An existing path the user may not write, or a directory, is refused before
// anything is written. A symbolic link at path is replaced by the file, not
// followed. In a folder that refuses new files, an existing regular file the
// user may write is written over in place and synced instead.
void replaceFileContents(const FilePath& path, std::string_view bytes,
                         const FileWriteHooks* hooks = nullptr);

// Where the version a replace took the place of is kept: the file's name
// with a dot before it and ".prev" after it, hidden in its folder.
FilePath previousVersion(const FilePath& path);

// The name of the file a replace's temporary file was for, when name is one
// (".<name>.XXXXXX", the last six letters or digits); a killed writer leaves
// one behind.
std::optional<std::string_view> replacedByTemporary(std::string_view name);

} // namespace kab
