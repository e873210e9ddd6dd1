#pragma once
// Tests and case folding of single bytes, for the readers that step over
// double-byte characters themselves: nothing here ever looks at the second
// byte of a Shift-JIS character.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace kab::bytes {

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Blanks and control characters: the bytes 0 to 32.
constexpr bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr bool isAsciiLetter(char c) {
    return lowerAscii(c) >= 'a' && lowerAscii(c) <= 'z';
}

// A short, stable token of bytes: FNV-1a, 64 bits, as 16 hexadecimal digits.
inline std::string token(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ULL;
    for (const unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    char out[20];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h));
    return out;
}

} // namespace kab::bytes
