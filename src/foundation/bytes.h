#pragma once
// Tests and case folding of single bytes, for the readers that step over
// double-byte characters themselves: nothing here ever looks at the second
// byte of a Shift-JIS character.

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

} // namespace kab::bytes
