#include "storage/stafflist.h"

#include "foundation/sjis.h"
#include "foundation/textlist.h"
#include "storage/folder.h"

#include <algorithm>
#include <optional>

namespace kab::storage {

FilePath staffListPath(const FilePath& dataDir) {
    FilePath exact = dataDir + FilePath(staffListName);
    if (fileExists(exact)) return exact;
    std::optional<std::string> found;
    for (auto& name : folderEntries(dataDir)) {
        if (!equalsIgnoringAsciiCase(name, staffListName) || !fileExists(dataDir + name)) continue;
        if (!found || name < *found) found = std::move(name);
    }
    return found ? dataDir + *found : exact;
}

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// Whether s is well-formed UTF-8: no overlong form, no surrogate, nothing
// past U+10FFFF, no sequence cut short.
bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t n;
        unsigned char lo = 0x80, hi = 0xBF; // bounds of the second byte
        if (c >= 0xC2 && c <= 0xDF)
            n = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            n = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else
            return false;
        if (s.size() - i < n) return false;
        const auto second = static_cast<unsigned char>(s[i + 1]);
        if (second < lo || second > hi) return false;
        for (std::size_t k = 2; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

} // namespace

StaffListEncoding staffListEncoding(std::string_view bytes) {
    if (bytes.starts_with(byteOrderMark))
        return validUtf8(bytes) ? StaffListEncoding::Utf8 : StaffListEncoding::ShiftJis;
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && validUtf8(bytes) ? StaffListEncoding::Utf8 : StaffListEncoding::ShiftJis;
}

std::vector<SjisString> readStaffNames(const FilePath& path) {
    const auto file = openRegularFile(path);
    if (!file) return {};
    std::string bytes;
    const bool more = readFile(*file, path, maxStaffListBytes, [&](std::string_view chunk) {
        bytes.append(chunk);
        return true;
    });
    // a name the byte limit cut off is left out, and has no say in how the
    // rest is read
    if (more) bytes.resize(bytes.find_last_of("\r\n") + 1);
    if (staffListEncoding(bytes) == StaffListEncoding::Utf8) {
        std::string_view text = bytes;
        if (text.starts_with(byteOrderMark)) text.remove_prefix(byteOrderMark.size());
        bytes = sjis::fromUtf8(text);
    }
    LineStream lines({maxStaffNames, false, maxNameBytes});
    lines.feed(bytes);
    return lines.finish(more).lines();
}

} // namespace kab::storage
