#include "command/output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kab::command {

bool writeStdout(std::string_view text) {
    const std::size_t written = std::fwrite(text.data(), 1, text.size(), stdout);
    if (written == text.size() && std::fflush(stdout) == 0) return true;
    std::fprintf(stderr, "kabrelo24-report: 標準出力に書けません: %s\n", std::strerror(errno));
    return false;
}

std::optional<std::string> writeFile(const FilePath& path, std::string_view bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return std::string(std::strerror(errno));
    int error = writeAll(fd, bytes);
    // the permissions of any new file, not mkstemp's private ones
    const mode_t mask = umask(0);
    umask(mask);
    if (error == 0 && fchmod(fd, 0666 & ~mask) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temp.c_str(), path.c_str()) != 0) error = errno;
    if (error == 0) return std::nullopt;
    unlink(temp.c_str());
    return std::string(std::strerror(error));
}

FilePath folderOf(const FilePath& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? FilePath("./") : path.substr(0, slash + 1);
}

bool sameFolder(const FilePath& a, const FilePath& b) {
    struct stat sa {
    }, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace kab::command
