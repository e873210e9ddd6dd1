#pragma once
// Hours as a day file writes them ("4.0", "2.25", "12"), held exactly as
// decimals so that totals add up to the digit: 2.25 + 4.0 is 6.25, never
// 6.249999. Kept in millionths of an hour, which holds every text the board
// writes and any hand-written one of up to six decimals.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kab::report {

class Hours {
public:
    static constexpr std::int64_t kScale = 1'000'000;

    constexpr Hours() = default;
    static constexpr Hours fromMicro(std::int64_t micro) { return Hours(micro); }

    // A number as the board reads a duration (blanks around it, a sign, one
    // "." anywhere among the digits, an exponent); digits past the sixth
    // decimal round half to even. Nothing for a text that is not a number,
    // and for one of a billion hours or more, which no total could hold.
    static std::optional<Hours> parse(std::string_view text);

    std::int64_t micro() const { return micro_; }

    // At least two decimals, more only where they are not zero:
    // "6.25", "4.00", "4.333", "-2.50".
    std::string text() const;

    Hours& operator+=(Hours other) {
        micro_ += other.micro_;
        return *this;
    }
    friend Hours operator+(Hours a, Hours b) { return a += b; }
    friend bool operator==(Hours, Hours) = default;
    friend auto operator<=>(Hours, Hours) = default;

private:
    constexpr explicit Hours(std::int64_t micro) : micro_(micro) {}
    std::int64_t micro_ = 0;
};

} // namespace kab::report
