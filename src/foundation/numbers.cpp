#include "foundation/numbers.h"

#include "foundation/bytes.h"
#include "foundation/errors.h"

#include <charconv>
#include <string>
#include <system_error>

namespace kab {

namespace {

using bytes::isBlank;
using bytes::isDigit;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Past the blanks (0x20) that may precede a number, and its sign.
std::size_t afterSign(std::string_view text, bool& negative) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos) return text.size();
    negative = text[i] == '-';
    return text[i] == '+' || text[i] == '-' ? i + 1 : i;
}

} // namespace

std::int32_t strToInt(std::string_view text) {
    const std::size_t n = text.size();
    bool negative = false;
    std::size_t i = afterSign(text, negative);

    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == n) throw Error::invalidInteger(text);

    const std::uint64_t limit = hex ? 0xFFFFFFFFu : negative ? 2147483648u : 2147483647u;
    std::uint64_t v = 0;
    for (; i < n; ++i) {
        int d = hex ? hexValue(text[i]) : isDigit(text[i]) ? text[i] - '0' : -1;
        if (d < 0) throw Error::invalidInteger(text);
        v = v * (hex ? 16 : 10) + static_cast<unsigned>(d);
        // checked per digit, so v never gets near the uint64 range
        if (v > limit) throw Error::invalidInteger(text);
    }

    if (hex) {
        auto bits = static_cast<std::uint32_t>(v);
        if (negative) bits = 0u - bits;
        return static_cast<std::int32_t>(bits);
    }
    auto s = static_cast<std::int64_t>(v);
    return static_cast<std::int32_t>(negative ? -s : s);
}

namespace {

// Reads a number into a double or a long double, correctly rounded to it.
template <typename Real> Real readNumber(std::string_view text, const FormatSettings& fs) {
    const std::size_t n = text.size();
    bool negative = false;
    std::size_t i = afterSign(text, negative);

    std::size_t intStart = i;
    while (i < n && isDigit(text[i]))
        ++i;
    std::string_view intDigits = text.substr(intStart, i - intStart);

    bool separator = false;
    std::string_view fracDigits;
    if (i < n && text[i] == fs.decimalSeparator) {
        separator = true;
        std::size_t fracStart = ++i;
        while (i < n && isDigit(text[i]))
            ++i;
        fracDigits = text.substr(fracStart, i - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty() && !separator) throw Error::invalidNumber(text);

    // Exponent, saturated: anything past 10^9 over- or underflows anyway.
    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
        std::size_t expStart = i;
        while (i < n && isDigit(text[i])) {
            if (exponent < 1000000000) exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (i == expStart) throw Error::invalidNumber(text);
        if (expNegative) exponent = -exponent;
    }

    while (i < n && text[i] == ' ')
        ++i;
    if (i != n) throw Error::invalidNumber(text);

    // Position of the first significant digit; none means the value is 0.
    std::size_t firstNonZero = 0;
    std::size_t totalDigits = intDigits.size() + fracDigits.size();
    auto digitAt = [&](std::size_t k) {
        return k < intDigits.size() ? intDigits[k] : fracDigits[k - intDigits.size()];
    };
    while (firstNonZero < totalDigits && digitAt(firstNonZero) == '0')
        ++firstNonZero;
    if (firstNonZero == totalDigits) return 0;

    // from_chars is locale-free and correctly rounded; it wants '.' and no '+'.
    std::string normal;
    normal.reserve(totalDigits + 16);
    if (negative) normal += '-';
    if (intDigits.empty()) normal += '0';
    normal += intDigits;
    if (!fracDigits.empty()) {
        normal += '.';
        normal += fracDigits;
    }
    normal += 'e';
    normal += std::to_string(exponent);

    Real value = 0;
    auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value,
                                     std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Leading digit's power of ten decides between overflow and underflow.
        std::int64_t magnitude = static_cast<std::int64_t>(intDigits.size()) -
                                 static_cast<std::int64_t>(firstNonZero) - 1 + exponent;
        if (magnitude >= 0) throw Error::invalidNumber(text);
        return 0;
    }
    if (ec != std::errc() || end != normal.data() + normal.size()) throw Error::invalidNumber(text);
    return value;
}

} // namespace

double strToFloat(std::string_view text, const FormatSettings& fs) {
    return readNumber<double>(text, fs);
}

long double strToExtended(std::string_view text, const FormatSettings& fs) {
    return readNumber<long double>(text, fs);
}

SjisString intToStr(std::int32_t value) {
    return std::to_string(value);
}

SjisString format2d(int value) {
    long long v = value;
    SjisString digits = std::to_string(v < 0 ? -v : v);
    if (digits.size() < 2) digits.insert(0, 2 - digits.size(), '0');
    return v < 0 ? "-" + digits : digits;
}

SjisString formatFixed2(double value, const FormatSettings& fs) {
    // printf would follow LC_NUMERIC, which the window toolkit sets from the
    // environment; to_chars does not.
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    if (ec != std::errc()) return SjisString();
    SjisString out(buf, end);
    for (char& c : out)
        if (c == '.') c = fs.decimalSeparator;
    return out;
}

SjisString trim(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    // Walk whole characters so the end is only ever cut at a boundary.
    std::size_t end = begin;
    for (std::size_t i = begin; i < text.size();) {
        std::size_t after = sjis::next(text, i);
        if (after - i > 1 || !isBlank(text[i])) end = after;
        i = after;
    }
    return SjisString(text.substr(begin, end - begin));
}

std::int32_t Random::next(std::int32_t n) {
    state_ = state_ * 134775813u + 1u;
    auto range = static_cast<std::uint64_t>(static_cast<std::uint32_t>(n));
    return static_cast<std::int32_t>((range * state_) >> 32);
}

Random& globalRandom() {
    static Random instance;
    return instance;
}

} // namespace kab
