#include "foundation/files.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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

SjisString extractFileDir(std::string_view path) {
    return SjisString(path.substr(0, nameStart(path)));
}

SjisString extractFileName(std::string_view path) {
    return SjisString(path.substr(nameStart(path)));
}

SjisString absolutePath(std::string_view name) {
    if (!name.empty() && name.front() == '/') return SjisString(name);
    std::string cwd(256, '\0');
    while (::getcwd(cwd.data(), cwd.size()) == nullptr) {
        if (errno != ERANGE) return SjisString(name);
        cwd.resize(cwd.size() * 2);
    }
    cwd.resize(std::strlen(cwd.c_str()));
    SjisString out = sjis::fromUtf8(cwd);
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

bool fileExists(const SjisString& name) {
    struct stat st {};
    return ::stat(sjis::toUtf8(name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool renameFile(const SjisString& from, const SjisString& to) {
    // A rename never replaces an existing file: that file may be a saved day.
    const std::string f = sjis::toUtf8(from), t = sjis::toUtf8(to);
    if (::renameat2(AT_FDCWD, f.c_str(), AT_FDCWD, t.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // file systems without the no-replace flag: check first
    struct stat st;
    if (::lstat(t.c_str(), &st) == 0) return false;
    return std::rename(f.c_str(), t.c_str()) == 0;
}

FileHandle::~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
}

int FileHandle::release() {
    return ::close(std::exchange(fd_, -1));
}

SjisString systemErrorText(int errorNumber) {
    // strerror follows LC_MESSAGES, which may be a UTF-8 locale.
    return sjis::fromUtf8(std::strerror(errorNumber));
}

} // namespace kab
