// Shift-JIS helpers on raw bytes: conversion to UTF-8 always gives valid
// UTF-8 and converts back without failing, and trimming is idempotent and
// never splits a double-byte character.

#include "fuzz_common.h"

#include "foundation/numbers.h"
#include "foundation/sjis.h"

namespace {

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80                ? 1
                              : c >= 0xC2 && c < 0xE0 ? 2
                              : c >= 0xE0 && c < 0xF0 ? 3
                              : c >= 0xF0 && c < 0xF5 ? 4
                                                      : 0;
        if (n == 0 || i + n > s.size()) return false;
        std::uint32_t cp = n == 1 ? c : c & (0xFF >> (n + 1));
        for (std::size_t k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = cp << 6 | (t & 0x3F);
        }
        static constexpr std::uint32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytes(data, size);
    const std::string utf8 = kab::sjis::toUtf8(text);
    fuzz::require(validUtf8(utf8), "toUtf8 gives valid UTF-8");
    kab::sjis::fromUtf8(utf8);
    // the bytes taken as UTF-8, as a folder listing hands them over
    kab::sjis::fromUtf8(text);

    const kab::SjisString trimmed = kab::trim(text);
    fuzz::require(text.find(trimmed) != std::string_view::npos, "trim gives a piece of the text");
    fuzz::require(kab::trim(trimmed) == trimmed, "trim is idempotent");
    if (!text.empty()) {
        const std::size_t last = kab::sjis::lastCharStart(text);
        fuzz::require(kab::sjis::next(text, last) == text.size(),
                      "the last character ends the text");
    }
    return 0;
}
