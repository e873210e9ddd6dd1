#pragma once
// Reading and writing numbers the way the day files and the screen show them,
// byte-level trimming, and the process-wide random generator whose fixed
// sequence gives the blocks their colours.

#include "foundation/datetime.h"
#include "foundation/sjis.h"

#include <cstdint>
#include <string_view>

namespace kab {

// Blanks (0x20) may precede; then an optional sign and decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X". Nothing may follow.
// Decimal values must fit int32. Hexadecimal values up to FFFFFFFF are taken
// as the 32-bit pattern ($FFFFFFFF = -1); a "-" negates that pattern modulo
// 2^32. Throws Error::invalidInteger carrying the text.
std::int32_t strToInt(std::string_view text);

// Blanks may precede and follow; an optional sign, decimal digits with at most
// one fs.decimalSeparator anywhere among them, an optional exponent (E or e,
// optional sign, at least one digit). At least a digit or the separator must be
// present, so a lone separator reads as 0. Correctly rounded. A value too large
// for a double is an error; one too small becomes 0. Throws
// Error::invalidNumber carrying the text.
double strToFloat(std::string_view text, const FormatSettings& fs = FormatSettings::japanese());
// The same to extended precision, as the board's widths and minutes are
// reckoned: "4.0125" hours then come to exactly 160.5 pixels.
long double strToExtended(std::string_view text,
                          const FormatSettings& fs = FormatSettings::japanese());

SjisString intToStr(std::int32_t value);

// At least two digits, zero-padded after the sign: 3 -> "03", -3 -> "-03".
SjisString format2d(int value);

// Fixed notation with exactly two decimals, rounded to nearest, the locale's
// decimal separator and no grouping: 2 -> "2.00", 137/60 -> "2.28".
SjisString formatFixed2(double value, const FormatSettings& fs = FormatSettings::japanese());

// Drops every byte 0..32 at both ends. A double-byte character is kept whole,
// whatever its second byte.
SjisString trim(std::string_view text);

// Linear congruential generator: state = state * 134775813 + 1 (mod 2^32),
// draw = high 32 bits of n * state. Never seeded, so the sequence from the
// start is always the same.
class Random {
public:
    explicit Random(std::uint32_t state = 0) : state_(state) {}

    // 0 <= result < n for n > 0. n is taken as its unsigned 32-bit pattern, as
    // the 32-bit multiply does; n = 0 gives 0.
    std::int32_t next(std::int32_t n);

    std::uint32_t state() const { return state_; }
    void reset(std::uint32_t state = 0) { state_ = state; }

private:
    std::uint32_t state_;
};

// The one generator the program draws from.
Random& globalRandom();
inline std::int32_t random(std::int32_t n) {
    return globalRandom().next(n);
}
// Back to the start state; for tests that depend on the sequence.
inline void randomReset() {
    globalRandom().reset();
}

} // namespace kab
