#pragma once
// Paths and the few file operations the program needs.
//
// A path is in the file system's own form: the bytes the system calls take
// (UTF-8 on Linux), whatever characters the folders' names hold. Paths never
// pass through the program's Shift-JIS text, where a character without a
// Shift-JIS form would become "?" and name another folder. Text meets a path
// only where a name made as Shift-JIS text (a day file's) joins its folder,
// and where a message quotes a path.

#include "foundation/errors.h"
#include "foundation/sjis.h"

#include <cerrno>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace kab {

using FilePath = std::string;

// folder (ending in "/") followed by a name made as Shift-JIS text.
FilePath inFolder(const FilePath& folder, std::string_view sjisName);
// A path or a file's name as the program's text, for messages and for
// inspecting a name: a character without a Shift-JIS form shows as "?".
SjisString pathText(std::string_view path);

// Text helpers: everything up to and including the last "/" or ":" ("" when
// there is none), and everything after it. The second byte of a double-byte
// character is never taken for either.
SjisString extractFileDir(std::string_view path);
SjisString extractFileName(std::string_view path);

// The path itself when it starts with "/", else the current directory, "/"
// and the path. Nothing is resolved or normalised.
FilePath absolutePath(std::string_view path);

// The file-open and file-create errors for a failing call on path: its
// absolute path and the system's message for errorNumber.
Error fileOpenError(const FilePath& path, int errorNumber);
Error fileCreateError(const FilePath& path, int errorNumber);

// Exists (following links) and is a regular file: a folder or a pipe under
// a file's name is no file to read (reading a pipe could wait for ever). Only
// for choosing a name: a file to read is checked where it is opened
// (openRegularFile), as anything may take its name in between.
bool fileExists(const FilePath& path);

// Renames a file; an existing target is never replaced. False with errno set
// on failure.
bool renameFile(const FilePath& from, const FilePath& to);

// An open file descriptor, closed on every way out of its scope.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle();
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    int get() const { return fd_; }
    // Closes now so that a failing close can be reported.
    int release();

private:
    int fd_;
};

// A regular file opened to read (following links), or nothing when path
// names none: nothing there, or a folder, a pipe, a device. What it is, is
// looked at on the descriptor opened, so that nothing put under the name
// after a check can be read in its place; and the open never waits, as a
// pipe's waits for a writer (O_NONBLOCK, taken off again for the reads).
// Throws the file-open error when a regular file is there and cannot be
// opened.
std::optional<FileHandle> openRegularFile(const FilePath& path);

// Reads path and hands its bytes to take, chunk by chunk, up to the first
// NUL byte, until take returns false or maxBytes have been handed over. True
// when the file held more than maxBytes before a NUL. Throws the file-open
// error when path cannot be opened or read (a folder among them). No lock is
// taken: saves replace files whole, and a lock anyone who may read the file
// can take would keep the file from being read at all.
bool readFile(const FilePath& path, std::size_t maxBytes,
              const std::function<bool(std::string_view chunk)>& take);
// The same reading of a file opened already; path names it in errors.
bool readFile(const FileHandle& file, const FilePath& path, std::size_t maxBytes,
              const std::function<bool(std::string_view chunk)>& take);

// Faults the tests inject into the writing of a file.
struct FileWriteHooks {
    // > 0: no single write passes more than this many bytes (short writes).
    std::size_t writeChunk = 0;
    // Writing fails with failErrno once this many bytes are written, as a full
    // or failing device would.
    std::optional<std::size_t> failAfter;
    int failErrno = EIO;
    // Runs once the new contents are written and synced, just before they
    // take the file's place; throwing stops the replace there.
    std::function<void()> beforeRename;
    // Runs once the file about to be replaced is kept as a version, just
    // before the new file takes its name.
    std::function<void()> afterVersionKept;
    // > 0: giving a file a second name (a hard link) fails with this, as it
    // does on file systems without hard links (EPERM on vfat and exfat).
    int linkErrno = 0;
    // Runs before each call of a write in place: "open", "version",
    // "reserve", "write", "truncate", "sync".
    std::function<void(std::string_view step)> inPlaceStep;
};

// The whole of a regular file no larger than limit; nothing for a larger
// file, one that cannot be read, or anything but a regular file (a pipe is
// never waited on). With noFollow, nothing for a symbolic link either; with
// usersOwn, nothing for a file the user does not own.
std::optional<std::string> smallFileContents(const FilePath& path, std::size_t limit,
                                             bool noFollow = false, bool usersOwn = false);

// Makes a rename or removal in dir ("" is the current folder) last through a
// crash. It has happened and cannot be taken back: a failure is passed over.
void syncFolder(const FilePath& dir);

// Writes every byte, going on after short writes. 0, or the errno of the
// failing write.
int writeAll(int fd, std::string_view bytes, const FileWriteHooks* hooks = nullptr);

// The system's message for an errno value, as Shift-JIS.
SjisString systemErrorText(int errorNumber);

} // namespace kab
