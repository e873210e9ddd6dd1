#include "foundation/tempfile.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <unistd.h>

namespace kab {

namespace {

constexpr std::size_t kSuffixLength = 6;
constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// A name no other writer picks: the open below refuses an existing one anyway.
std::string tempSuffix(unsigned attempt) {
    static unsigned counter = 0;
    auto mix = static_cast<unsigned long long>(
                   std::chrono::steady_clock::now().time_since_epoch().count()) ^
               (static_cast<unsigned long long>(::getpid()) << 20) ^ (++counter * 7919ULL) ^
               attempt;
    std::string s;
    for (std::size_t k = 0; k < kSuffixLength; ++k) {
        s += kAlphabet[mix % 62];
        mix /= 62;
    }
    return s;
}

} // namespace

TempFile::TempFile(int dirFd, const std::string& dir, std::string_view name) : dirFd_(dirFd) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        path_ = dir + "." + std::string(name) + "." + tempSuffix(attempt);
        fd_ = ::openat(dirFd, path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ >= 0) return;
        error_ = errno;
        if (error_ != EEXIST) break;
    }
    path_.clear();
}

TempFile::~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlinkat(dirFd_, path_.c_str(), 0);
}

int TempFile::close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
}

std::optional<std::string_view> replacedByTemporary(std::string_view name) {
    if (name.size() < kSuffixLength + 3 || name.front() != '.') return std::nullopt;
    const std::size_t dot = name.size() - kSuffixLength - 1;
    if (name[dot] != '.') return std::nullopt;
    const std::string_view suffix = name.substr(dot + 1);
    if (suffix.find_first_not_of(std::string_view(kAlphabet, 62)) != std::string_view::npos)
        return std::nullopt;
    return name.substr(1, dot - 1);
}

} // namespace kab
