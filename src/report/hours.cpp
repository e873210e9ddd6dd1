#include "report/hours.h"

#include "foundation/bytes.h"

#include <cstdlib>

namespace kab::report {

namespace {

constexpr int kDecimals = 6;
// A billion hours in millionths: far beyond any month, and far inside int64
// however many such days are added.
constexpr std::int64_t kLimit = 1'000'000'000LL * Hours::kScale;

} // namespace

std::optional<Hours> Hours::parse(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    // the significant digits, and how many of them stand before the point
    std::string digits;
    long long pointAt = 0;
    bool seenPoint = false, seenDigit = false;
    for (; i < s.size(); ++i) {
        if (bytes::isDigit(s[i])) {
            seenDigit = true;
            if (digits.empty() && s[i] == '0') {
                if (seenPoint) --pointAt; // a leading zero after the point
                continue;
            }
            digits += s[i];
            if (!seenPoint) ++pointAt;
        } else if (s[i] == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    // a lone "." reads as 0, as the board reads it
    if (!seenDigit && !seenPoint) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) expNegative = s[i++] == '-';
        if (i == s.size() || !bytes::isDigit(s[i])) return std::nullopt;
        long long exponent = 0;
        for (; i < s.size() && bytes::isDigit(s[i]); ++i)
            if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
        pointAt += expNegative ? -exponent : exponent;
    }
    if (i != s.size()) return std::nullopt;
    if (digits.empty()) return Hours(0);
    // value = 0.digits x 10^pointAt; in millionths the point moves six more
    const long long whole = pointAt + kDecimals; // digits that make the integer
    if (whole > 16) return std::nullopt;         // a billion hours and more
    std::int64_t micro = 0;
    for (long long k = 0; k < whole; ++k) {
        micro = micro * 10 + (k < static_cast<long long>(digits.size()) ? digits[k] - '0' : 0);
    }
    if (whole < static_cast<long long>(digits.size())) {
        // what falls below a millionth: half to even
        const std::size_t from = whole < 0 ? 0 : static_cast<std::size_t>(whole);
        const char first = whole < 0 ? '0' : digits[from];
        const bool restNonZero =
            digits.find_first_not_of('0', from + (whole < 0 ? 0 : 1)) != std::string::npos;
        if (first > '5' || (first == '5' && (restNonZero || micro % 2 != 0))) ++micro;
    }
    if (micro >= kLimit) return std::nullopt;
    return Hours(negative ? -micro : micro);
}

std::string Hours::text() const {
    const std::int64_t magnitude = std::llabs(micro_);
    std::string out = micro_ < 0 ? "-" : "";
    out += std::to_string(magnitude / kScale);
    std::string fraction = std::to_string(magnitude % kScale);
    fraction.insert(0, kDecimals - fraction.size(), '0');
    while (fraction.size() > 2 && fraction.back() == '0')
        fraction.pop_back();
    return out + "." + fraction;
}

} // namespace kab::report
