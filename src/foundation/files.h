#pragma once
// File names and the few file operations the program needs. Names are
// Shift-JIS; they are converted to UTF-8 only at the system call.

#include "foundation/sjis.h"

#include <string_view>

namespace kab {

// Everything up to and including the last "/" or ":" ("" when there is none).
// The second byte of a double-byte character is never taken for either.
SjisString extractFileDir(std::string_view path);
// Everything after the last "/" or ":".
SjisString extractFileName(std::string_view path);

// The name itself when it starts with "/", else the current directory, "/"
// and the name. Nothing is resolved or normalised.
SjisString absolutePath(std::string_view name);

// Exists (following links) and is a regular file: a folder or a pipe under
// a file's name is no file to read (reading a pipe could wait for ever).
bool fileExists(const SjisString& name);

// Renames a file; an existing target is never replaced. False with errno set
// on failure.
bool renameFile(const SjisString& from, const SjisString& to);

// An open file descriptor, closed on every way out of its scope.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle();
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }
    // Closes now so that a failing close can be reported.
    int release();

private:
    int fd_;
};

// The system's message for an errno value, as Shift-JIS.
SjisString systemErrorText(int errorNumber);

} // namespace kab
