#pragma once
// The temporary files a replace writes before they take a file's name: named
// ".<name>.XXXXXX" beside the file, created readable by their owner alone.

#include <optional>
#include <string>
#include <string_view>

namespace kab {

class TempFile {
public:
    // A new file ".<name>." and six letters or digits in the folder dirFd
    // refers to (AT_FDCWD: dir is a path, "" or ending in "/", else dir is
    // "" and names are relative to dirFd). Mode 0600: nobody else may open
    // it while it is written, whatever mode it is given when complete.
    // errorNumber() tells why none could be made.
    TempFile(int dirFd, const std::string& dir, std::string_view name);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int errorNumber() const { return fd_ >= 0 ? 0 : error_; }
    int fd() const { return fd_; }
    // As the creating call named it: relative to the folder descriptor.
    const std::string& path() const { return path_; }
    // Closes now so that a failing close can be reported: 0 or its errno.
    int close();
    // Renamed into place: nothing left to remove.
    void keep() { path_.clear(); }

private:
    int dirFd_;
    std::string path_;
    int fd_ = -1;
    int error_ = 0;
};

// The name of the file a temporary file was for, when name is one
// (".<name>.XXXXXX", the last six letters or digits); a killed writer leaves
// one behind.
std::optional<std::string_view> replacedByTemporary(std::string_view name);

} // namespace kab
