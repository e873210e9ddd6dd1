#include "foundation/sjis.h"

#include "foundation/cp932_tables.h"

#include <cstdint>

namespace kab::sjis {

std::size_t lastCharStart(std::string_view s) {
    std::size_t i = 0, last = s.size();
    while (i < s.size()) {
        last = i;
        i = next(s, i);
    }
    return last;
}

// The conversions give what the C library's iconv gives for "CP932", read
// from tables the build takes from iconv itself: which bytes make a
// character, which of several code page 932 forms a code point takes, and
// where a conversion starts again after a byte sequence that does not
// convert (iconv stops at its first byte; the caller then steps over one
// character and goes on).

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point of the well-formed UTF-8 sequence at i and its length, or
// a length of 0 if the bytes at i are no such sequence: a stray
// continuation byte, a truncated sequence, an overlong form, a surrogate or
// a value beyond U+10FFFF.
std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80   ? 1
                          : c < 0xC0 ? 0
                          : c < 0xE0 ? 2
                          : c < 0xF0 ? 3
                          : c < 0xF8 ? 4
                                     : 0;
    if (n == 0 || s.size() - i < n) return 0;
    cp = n == 1 ? c : c & (0xFF >> (n + 1));
    for (std::size_t k = 1; k < n; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (t & 0x3F);
    }
    static constexpr char32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

// Length of the bad sequence starting at i: its lead byte and only the
// continuation bytes that actually follow, so that text after a truncated or
// stray byte is not swallowed with it.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    std::size_t len = 1;
    while (len < n && i + len < s.size() && (static_cast<unsigned char>(s[i + len]) & 0xC0) == 0x80)
        ++len;
    return len;
}

} // namespace

std::string toUtf8(std::string_view in) {
    using namespace cp932;
    std::string out;
    out.reserve(in.size() * 2);
    for (std::size_t i = 0; i < in.size();) {
        const auto b = static_cast<unsigned char>(in[i]);
        std::uint16_t cp = decodeSingle[b];
        std::size_t len = 1;
        if (cp == kNone && decodeRow[b] != 0 && i + 1 < in.size()) {
            const unsigned t = static_cast<unsigned char>(in[i + 1]) - trailFirst;
            if (t < trailCount) {
                cp = decodeDouble[(decodeRow[b] - 1u) * trailCount + t];
                len = 2;
            }
        }
        if (cp == kNone) {
            out += kReplacement;
            i = next(in, i);
        } else {
            appendUtf8(out, cp);
            i += len;
        }
    }
    return out;
}

SjisString fromUtf8(std::string_view in) {
    using namespace cp932;
    SjisString out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size();) {
        char32_t cp = 0;
        const std::size_t len = decodeUtf8(in, i, cp);
        if (len != 0 && cp >= silentFirst && cp <= silentLast) {
            i += len;
            continue;
        }
        const std::uint16_t code =
            len == 0 || cp > 0xFFFF
                ? kNone
                : encodeBlocks[encodeIndex[cp / kEncodeBlock] * kEncodeBlock + cp % kEncodeBlock];
        if (code == kNone) {
            out += '?';
            i += utf8SequenceLength(in, i);
            continue;
        }
        if (code > 0xFF) out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
        i += len;
    }
    return out;
}

} // namespace kab::sjis
