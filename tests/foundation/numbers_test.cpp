#include "foundation/numbers.h"

#include "foundation/errors.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace kab {
namespace {

using namespace std::string_literals;

TEST(StrToInt, ReadsDecimalAndHex) {
    struct Case {
        std::string text;
        std::int32_t want;
    };
    const Case cases[] = {{"03", 3},
                          {"0", 0},
                          {"-0", 0},
                          {"  42", 42},
                          {"+7", 7},
                          {"-7", -7},
                          {"2147483647", INT_MAX},
                          {"-2147483648", INT_MIN},
                          {"000000000000000000000012", 12},
                          {"$10", 16},
                          {"x1F", 31},
                          {"X1f", 31},
                          {"0x10", 16},
                          {"0XfF", 255},
                          {"-0x10", -16},
                          // hexadecimal is a 32-bit pattern
                          {"$7FFFFFFF", INT_MAX},
                          {"$80000000", INT_MIN},
                          {"$FFFFFFFF", -1},
                          {"$00000000FFFFFFFF", -1},
                          {"-$1", -1},
                          {"-$FFFFFFFF", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(strToInt(c.text), c.want);
    }
}

TEST(StrToInt, RejectsWithTheTextInTheMessage) {
    const std::string cases[] = {"",           " ",           "3 ",
                                 "\t3",        "- 3",         "+-3",
                                 "+",          "-",           "$",
                                 "x",          "0x",          "$-1",
                                 "3a",         "0x1G",        "1.0",
                                 "2147483648", "-2147483649", "99999999999999999999999",
                                 "$100000000", "0x1FFFFFFFF", "00x10",
                                 "\x82\x52",   "3\0"s};
    for (const auto& text : cases) {
        SCOPED_TRACE(text);
        try {
            strToInt(text);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::InvalidInteger);
            EXPECT_NE(e.message().find("'" + text + "'"), std::string::npos);
        }
    }
}

TEST(StrToFloat, ReadsCorrectlyRounded) {
    struct Case {
        std::string text;
        double want;
    };
    const Case cases[] = {{"4.0", 4},
                          {"2.25", 2.25},
                          {"3", 3},
                          {"4.", 4},
                          {".5", 0.5},
                          {" 1.5  ", 1.5},
                          {"-2.5", -2.5},
                          {"+2.5", 2.5},
                          {"1e3", 1000},
                          {"1E+3", 1000},
                          {"2.5e-1", 0.25},
                          {"0.1", 0.1},
                          {"7.7", 7.7},
                          {"0e999999999999999999", 0},
                          // a lone separator counts as a number
                          {".", 0},
                          {"-.", 0},
                          {".e5", 0},
                          // exactly halfway between two doubles: ties to even
                          {"9007199254740993", 9007199254740992.0},
                          // a hair above halfway: rounds up
                          {"9007199254740993.00000000000000000001", 9007199254740994.0},
                          {"0.1000000000000000055511151231257827021181583404541015625", 0.1},
                          {"1e-400", 0},
                          {"1.7976931348623157e308", 1.7976931348623157e308}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(strToFloat(c.text), c.want);
    }
}

TEST(StrToFloat, RejectsWithTheTextInTheMessage) {
    const std::string cases[] = {"",      " ",      "4,0", "1e",    "1e+",    "e5",      "1.2.3",
                                 "--1",   "+-1",    "1 2", "0x10",  "$10",    "inf",     "nan",
                                 "1e400", "-1e400", "\t1", "1.0\t", "1.0\0"s, "\x82\x52"};
    for (const auto& text : cases) {
        SCOPED_TRACE(text);
        try {
            strToFloat(text);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::InvalidNumber);
            EXPECT_NE(e.message().find("'" + text + "'"), std::string::npos);
        }
    }
}

TEST(StrToFloat, FollowsTheDecimalSeparator) {
    FormatSettings comma = FormatSettings::japanese();
    comma.decimalSeparator = ',';
    EXPECT_EQ(strToFloat("4,5", comma), 4.5);
    EXPECT_EQ(strToFloat(",25", comma), 0.25);
    EXPECT_THROW(strToFloat("4.5", comma), Error);
}

TEST(Numbers, NeverReadPastTheView) {
    const std::string backing = "12.5e3 7";
    EXPECT_EQ(strToInt(std::string_view(backing).substr(0, 2)), 12);
    EXPECT_EQ(strToFloat(std::string_view(backing).substr(0, 4)), 12.5);
    EXPECT_EQ(strToFloat(std::string_view(backing).substr(0, 2)), 12);
    // "12.5e" would be an incomplete exponent; the view ends before the digit
    EXPECT_THROW(strToFloat(std::string_view(backing).substr(0, 5)), Error);
}

TEST(FormatNumbers, IntegersMatchPrintf) {
    const int values[] = {0, 3, -3, 9, 10, 99, 123, -123, INT_MAX, INT_MIN};
    for (int v : values) {
        SCOPED_TRACE(v);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2d", v);
        EXPECT_EQ(format2d(v), buf);
        std::snprintf(buf, sizeof buf, "%d", v);
        EXPECT_EQ(intToStr(v), buf);
    }
    EXPECT_EQ(format2d(3), "03");
    EXPECT_EQ(format2d(-3), "-03");
}

TEST(FormatNumbers, FixedTwoDecimals) {
    struct Case {
        double value;
        const char* want;
    };
    const Case cases[] = {
        {2.25, "2.25"},        {2, "2.00"},        {137 / 60.0, "2.28"}, {135 / 60.0, "2.25"},
        {0, "0.00"},           {1 / 60.0, "0.02"}, {-1.5, "-1.50"},      {1234567.5, "1234567.50"},
        {0.005 + 1e-9, "0.01"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.want);
        EXPECT_EQ(formatFixed2(c.value), c.want);
    }
    FormatSettings comma = FormatSettings::japanese();
    comma.decimalSeparator = ',';
    EXPECT_EQ(formatFixed2(2.25, comma), "2,25");
}

TEST(FormatNumbers, WholeMinutesAgreeWithPrintf) {
    // The program shows durations of whole minutes; printf in the C locale
    // rounds the same binary value correctly.
    for (int minutes = 0; minutes <= 3 * 24 * 60; ++minutes) {
        double hours = minutes / 60.0;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.2f", hours);
        ASSERT_EQ(formatFixed2(hours), buf) << minutes;
    }
}

TEST(Trim, DropsLowBytesButNotDoubleByteHalves) {
    struct Case {
        std::string text;
        std::string want;
    };
    const Case cases[] = {{"", ""},
                          {"   ", ""},
                          {"  a b  ", "a b"},
                          {"\t\r\n a\x01", "a"},
                          {"\0a\0"s, "a"},
                          {"\x7f", "\x7f"},
                          // full-width blank is a character, not a blank
                          {" \x81\x40 ", "\x81\x40"},
                          // a double-byte character whose second byte is low stays whole
                          {"a\x81\x20", "a\x81\x20"},
                          {"\x81\x20\x20\x20", "\x81\x20"},
                          {"a\x81\x01", "a\x81\x01"},
                          // a lead byte before NUL is a character of its own
                          {"a\x81\0"s, "a\x81"},
                          {"a\x81", "a\x81"},
                          {" \x95\x5C ", "\x95\x5C"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(trim(c.text), c.want);
    }
}

TEST(Random, SequenceFromTheStart) {
    Random r;
    EXPECT_EQ(r.next(5), 0);
    EXPECT_EQ(r.state(), 1u);
    EXPECT_EQ(r.next(90), 2);
    EXPECT_EQ(r.state(), 134775814u);
    EXPECT_EQ(r.next(90), 77);
    Random wrap(0xFFFFFFFFu);
    wrap.next(1);
    EXPECT_EQ(wrap.state(), 4160191484u); // multiply wraps modulo 2^32
    EXPECT_EQ(Random().next(0), 0);
}

TEST(Random, GlobalResetsToTheStart) {
    randomReset();
    EXPECT_EQ(random(5), 0);
    EXPECT_EQ(random(90), 2);
    randomReset();
    EXPECT_EQ(globalRandom().state(), 0u);
    EXPECT_EQ(random(5), 0);
    randomReset();
}

// Random bytes drawn mostly from the characters the readers care about.
std::string randomText(std::mt19937& gen) {
    static const char alphabet[] = "0123456789 +-$xX.eE,\t\r\n\\\"\x81\x95\x5C\x40\xFF";
    std::uniform_int_distribution<int> length(0, 24), pick(0, sizeof alphabet - 1), anyByte(0, 255),
        coin(0, 9);
    std::string s(static_cast<std::size_t>(length(gen)), '\0');
    for (char& c : s)
        c = coin(gen) == 0 ? static_cast<char>(anyByte(gen)) : alphabet[pick(gen)];
    return s;
}

TEST(Numbers, RandomInputFailsOnlyWithTheRightError) {
    std::mt19937 gen(20240611);
    for (int i = 0; i < 50000; ++i) {
        std::string s = randomText(gen);
        SCOPED_TRACE(testing::PrintToString(s));
        try {
            std::int32_t v = strToInt(s);
            // whatever was accepted must be a plain or hex number
            if (s.find_first_of("$xX") == std::string::npos) {
                ASSERT_EQ(strToInt(intToStr(v)), v);
            }
        } catch (const Error& e) {
            ASSERT_EQ(e.kind(), ErrorKind::InvalidInteger);
        }
        try {
            double v = strToFloat(s);
            ASSERT_TRUE(std::isfinite(v));
        } catch (const Error& e) {
            ASSERT_EQ(e.kind(), ErrorKind::InvalidNumber);
        }
        std::string t = trim(s);
        ASSERT_NE(s.find(t), std::string::npos);
        ASSERT_EQ(trim(t), t);
        if (!t.empty()) {
            ASSERT_GT(static_cast<unsigned char>(t.front()), 32);
        }
    }
}

} // namespace
} // namespace kab
