#pragma once
// Where the report command's results go: standard output, or a file
// written whole under its name.

#include "foundation/files.h"

#include <optional>
#include <string>
#include <string_view>

namespace kab::command {

// All of text on standard output; false, after saying why on stderr, when
// it could not be written (a closed pipe, a full disk).
bool writeStdout(std::string_view text);

// bytes into a new file beside path, then renamed over it, so that a failed
// write leaves no half file and no earlier file spoilt. The system's message
// when it fails.
std::optional<std::string> writeFile(const FilePath& path, std::string_view bytes);

// The folder a path names its file in ("./" for a bare name).
FilePath folderOf(const FilePath& path);
// Both name the same existing folder, however they are written.
bool sameFolder(const FilePath& a, const FilePath& b);

} // namespace kab::command
