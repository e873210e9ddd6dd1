#include "storage/folder.h"

#include <dirent.h>

namespace kab::storage {

namespace {

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

} // namespace

std::vector<SjisString> folderEntries(const SjisString& dir) {
    std::vector<SjisString> names;
    DIR* d = ::opendir(dir.empty() ? "." : sjis::toUtf8(dir).c_str());
    if (!d) return names;
    while (const dirent* e = ::readdir(d)) {
        std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        names.push_back(sjis::fromUtf8(name));
    }
    ::closedir(d);
    return names;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        std::size_t after = sjis::next(a, i);
        if (after - i == 1) {
            if (upperAscii(a[i]) != upperAscii(b[i])) return false;
        } else if (a.substr(i, after - i) != b.substr(i, after - i)) {
            return false;
        }
        i = after;
    }
    return true;
}

} // namespace kab::storage
