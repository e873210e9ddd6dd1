#include "foundation/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kab {

namespace {

// Index just past the last separator character, 0 when there is none.
std::size_t nameStart(std::string_view path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size();) {
        std::size_t after = sjis::next(path, i);
        if (after - i == 1 && (path[i] == '/' || path[i] == ':')) start = after;
        i = after;
    }
    return start;
}

} // namespace

FilePath inFolder(const FilePath& folder, std::string_view sjisName) {
    return folder + sjis::toUtf8(sjisName);
}

SjisString pathText(std::string_view path) {
    return sjis::fromUtf8(path);
}

SjisString extractFileDir(std::string_view path) {
    return SjisString(path.substr(0, nameStart(path)));
}

SjisString extractFileName(std::string_view path) {
    return SjisString(path.substr(nameStart(path)));
}

FilePath absolutePath(std::string_view path) {
    if (!path.empty() && path.front() == '/') return FilePath(path);
    std::string cwd(256, '\0');
    while (::getcwd(cwd.data(), cwd.size()) == nullptr) {
        if (errno != ERANGE) return FilePath(path);
        cwd.resize(cwd.size() * 2);
    }
    cwd.resize(std::strlen(cwd.c_str()));
    if (cwd.empty() || cwd.back() != '/') cwd += '/';
    cwd += path;
    return cwd;
}

Error fileOpenError(const FilePath& path, int errorNumber) {
    return Error::fileOpen(pathText(absolutePath(path)), systemErrorText(errorNumber));
}

Error fileCreateError(const FilePath& path, int errorNumber) {
    return Error::fileCreate(pathText(absolutePath(path)), systemErrorText(errorNumber));
}

bool fileExists(const FilePath& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool renameFile(const FilePath& from, const FilePath& to) {
    // A rename never replaces an existing file: that file may be a saved day.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // file systems without the no-replace flag: check first
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

FileHandle::~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
}

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

int FileHandle::release() {
    return ::close(std::exchange(fd_, -1));
}

std::optional<FileHandle> openRegularFile(const FilePath& path) {
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        const int error = errno;
        // a regular file that does not open is a failure; nothing there, or
        // nothing that can be looked at, is no file, as fileExists has it
        if (fileExists(path)) throw fileOpenError(path, error);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) throw fileOpenError(path, errno);
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        throw fileOpenError(path, errno);
    return std::optional<FileHandle>(std::move(file));
}

bool readFile(const FilePath& path, std::size_t maxBytes,
              const std::function<bool(std::string_view chunk)>& take) {
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw fileOpenError(path, errno);
    struct stat st {};
    if (::fstat(file.get(), &st) == 0 && S_ISDIR(st.st_mode)) throw fileOpenError(path, EISDIR);
    return readFile(file, path, maxBytes, take);
}

bool readFile(const FileHandle& file, const FilePath& path, std::size_t maxBytes,
              const std::function<bool(std::string_view chunk)>& take) {
    // In chunks, so that nothing past the first NUL or the limit is read. One
    // byte beyond the limit tells whether the file went on.
    char buffer[16 * 1024];
    std::size_t total = 0;
    for (;;) {
        const std::size_t room = maxBytes - total;
        const std::size_t want = room < sizeof buffer ? room + 1 : sizeof buffer;
        const ssize_t got = ::read(file.get(), buffer, want);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw fileOpenError(path, errno);
        }
        if (got == 0) return false;
        std::string_view chunk(buffer, static_cast<std::size_t>(got));
        const std::size_t nul = chunk.find('\0');
        const bool ends = nul != std::string_view::npos;
        if (ends) chunk = chunk.substr(0, nul);
        const bool over = total + chunk.size() > maxBytes;
        if (over) chunk = chunk.substr(0, maxBytes - total);
        total += chunk.size();
        if (!chunk.empty() && !take(chunk)) return false;
        if (over) return true;
        if (ends) return false;
    }
}

std::optional<std::string> smallFileContents(const FilePath& path, std::size_t limit, bool noFollow,
                                             bool usersOwn) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (noFollow ? O_NOFOLLOW : 0);
    FileHandle file(::open(path.c_str(), flags));
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        std::size_t(st.st_size) > limit || (usersOwn && st.st_uid != ::geteuid()))
        return std::nullopt;
    std::string data(std::size_t(st.st_size), '\0');
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t got = ::read(file.get(), data.data() + done, data.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return std::nullopt;
        done += std::size_t(got);
    }
    return data;
}

void syncFolder(const FilePath& dir) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

int writeAll(int fd, std::string_view bytes, const FileWriteHooks* hooks) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t n = bytes.size() - done;
        if (hooks && hooks->writeChunk > 0) n = std::min(n, hooks->writeChunk);
        if (hooks && hooks->failAfter) {
            if (done >= *hooks->failAfter) return hooks->failErrno;
            n = std::min(n, *hooks->failAfter - done);
        }
        const ssize_t put = ::write(fd, bytes.data() + done, n);
        if (put < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

SjisString systemErrorText(int errorNumber) {
    // strerror follows LC_MESSAGES, which may be a UTF-8 locale.
    return sjis::fromUtf8(std::strerror(errorNumber));
}

} // namespace kab
