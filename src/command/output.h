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

// bytes written whole under path through the core's safe replace (a new
// file beside it, synced, renamed over it), so that a failed write leaves no
// half file and no earlier file spoilt. Why it failed, in UTF-8, naming the
// file.
std::optional<std::string> writeFile(const FilePath& path, std::string_view bytes);

// The folder a path names its file in ("./" for a bare name).
FilePath folderOf(const FilePath& path);
// path's folder is folder or lies inside it at any depth, however either is
// written: their resolved paths (symbolic links, "." and "..") are compared,
// and the folders above path's by identity too, as a bind mount shows a
// folder under a second name. False where either does not exist.
bool insideFolder(const FilePath& path, const FilePath& folder);

} // namespace kab::command
