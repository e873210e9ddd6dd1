#pragma once
// Replacing a file's contents so that a reader, a crash or a failing device
// sees either the old file whole or the new one whole, never a mix.

#include "foundation/sjis.h"

#include <cerrno>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace kab {

// Faults the tests inject into replaceFileContents.
struct FileWriteHooks {
    // > 0: no single write passes more than this many bytes (short writes).
    std::size_t writeChunk = 0;
    // Writing fails with failErrno once this many bytes are written, as a full
    // or failing device would.
    std::optional<std::size_t> failAfter;
    int failErrno = EIO;
    // Runs once the new contents are written and synced, just before the
    // rename; throwing stops the replace there.
    std::function<void()> beforeRename;
};

// Writes bytes to a new file beside path, syncs it, gives it the old file's
// permission bits (or the umask's default for a new file) and renames it over
// path. On failure the temporary file is removed, path is left exactly as it
// was and Error::fileCreate with the absolute path is thrown. An existing path
// the user may not write, or a directory, is refused before anything is
// written. A symbolic link at path is replaced by the file, not followed.
void replaceFileContents(const SjisString& path, std::string_view bytes,
                         FileWriteHooks* hooks = nullptr);

} // namespace kab
