#pragma once
// Shift-JIS (code page 932) byte strings and the character stepping that every
// separator search relies on: the second byte of a double-byte character can be
// 0x5C ("\") or an ASCII letter and must never be taken for one.

#include <cstddef>
#include <string>
#include <string_view>

namespace kab {

// Every text inside the program is a Shift-JIS byte string.
using SjisString = std::string;

namespace sjis {

// 0x81..0x9F and 0xE0..0xFC start a double-byte character.
constexpr bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Index of the character after the one starting at i. A lead byte followed by
// a non-NUL byte spans two bytes; a lone lead byte at the end spans one.
inline std::size_t next(std::string_view s, std::size_t i) {
    if (i >= s.size()) return s.size();
    if (isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() && s[i + 1] != '\0')
        return i + 2;
    return i + 1;
}

// Index where the last character of s starts (s.size() for an empty s).
std::size_t lastCharStart(std::string_view s);
// Index where character n (from 0) of s starts; s.size() when s has no more
// than n characters. A double-byte character counts as one.
inline std::size_t charStart(std::string_view s, std::size_t n) {
    std::size_t at = 0;
    for (std::size_t k = 0; k < n && at < s.size(); ++k)
        at = next(s, at);
    return at;
}

// Conversions between code page 932 and UTF-8. Bytes that do not convert
// become U+FFFD (one per character); characters without a code page 932 form
// become "?", and Unicode's language tags (U+E0000..U+E007F) none at all.
// Neither fails. Both give exactly what the C library's iconv gives.
std::string toUtf8(std::string_view sjis);
SjisString fromUtf8(std::string_view utf8);

} // namespace sjis
} // namespace kab
