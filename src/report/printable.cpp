#include "report/printable.h"

#include <cstdint>

namespace kab::report {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the UTF-8 character at text[i] and its code point; 0 when
// the bytes there are no UTF-8 (a stray continuation byte, a cut or
// overlong sequence, a surrogate, beyond U+10FFFF).
std::size_t decode(std::string_view text, std::size_t i, std::uint32_t& cp) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t n = 0;
    std::uint32_t least = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2, cp = lead & 0x1Fu, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3, cp = lead & 0x0Fu, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4, cp = lead & 0x07u, least = 0x10000;
    } else {
        return 0;
    }
    if (i + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3Fu);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

bool isControl(std::uint32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

} // namespace

std::string printable(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp = 0;
        const std::size_t n = decode(utf8, i, cp);
        if (n == 0 || isControl(cp)) {
            out += kReplacement;
            i += n == 0 ? 1 : n;
            continue;
        }
        out.append(utf8.substr(i, n));
        i += n;
    }
    return out;
}

std::string printableName(std::string_view sjisText) {
    return printable(sjis::toUtf8(sjisText));
}

} // namespace kab::report
