#include "command/output.h"

#include "foundation/atomicfile.h"
#include "foundation/errors.h"
#include "foundation/sjis.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    try {
        replaceExportedFile(path, bytes);
        return std::nullopt;
    } catch (const Error& e) {
        return sjis::toUtf8(e.message());
    }
}

FilePath folderOf(const FilePath& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? FilePath("./") : path.substr(0, slash + 1);
}

namespace {

std::optional<FilePath> resolved(const FilePath& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return std::nullopt;
    FilePath out(real);
    std::free(real);
    return out;
}

} // namespace

bool insideFolder(const FilePath& path, const FilePath& folder) {
    const auto dir = resolved(folderOf(path));
    const auto top = resolved(folder);
    if (!dir || !top) return false;
    if (*dir == *top || dir->starts_with(top->back() == '/' ? *top : *top + "/")) return true;
    struct stat want {};
    if (stat(top->c_str(), &want) != 0) return false;
    for (FilePath d = *dir;;) {
        struct stat st {};
        if (stat(d.c_str(), &st) == 0 && st.st_dev == want.st_dev && st.st_ino == want.st_ino)
            return true;
        if (d == "/") return false;
        const auto slash = d.rfind('/');
        d = slash == 0 ? FilePath("/") : d.substr(0, slash);
    }
}

} // namespace kab::command
