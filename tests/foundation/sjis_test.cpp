#include "foundation/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kab::sjis {
namespace {

TEST(Sjis, StepsOverWholeCharacters) {
    for (int c : {0x81, 0x9F, 0xE0, 0xFC})
        EXPECT_TRUE(isLeadByte(c)) << c;
    for (int c : {0x00, 0x5C, 0x80, 0xA0, 0xDF, 0xFD, 0xFF})
        EXPECT_FALSE(isLeadByte(c)) << c;
    struct Case {
        std::string text;
        std::vector<std::size_t> starts; // where each character starts
    } cases[] = {
        {"", {}},
        {"ab", {0, 1}},
        {"\xB1\xB2", {0, 1}},     // half-width katakana: one byte each
        {"\x95\x5C\x5C", {0, 2}}, // 表 then "\"
        {"\x83\x5C\x5C", {0, 2}}, // ソ then "\"
        {"a\x95\x5C"
         "b",
         {0, 1, 3}},
        {"a\x95", {0, 1}},                      // lone lead byte at the end
        {std::string("\x95\0x", 3), {0, 1, 2}}, // a NUL is never a second byte
        {"\x81\x81\x81", {0, 2}},               // a lead byte as second byte
        {"\x83h\x83m", {0, 2}},                 // ドノ: letters as second bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        std::vector<std::size_t> starts;
        for (std::size_t i = 0; i < c.text.size(); i = next(c.text, i))
            starts.push_back(i);
        EXPECT_EQ(starts, c.starts);
        EXPECT_EQ(lastCharStart(c.text), c.starts.empty() ? 0 : c.starts.back());
    }
    EXPECT_EQ(next("ab", 7), 2u);
}

TEST(Sjis, ConvertsBothWays) {
    std::string longUtf8, longSjis; // longer than one conversion buffer
    for (int i = 0; i < 3000; ++i)
        longUtf8 += "表a", longSjis += "\x95\x5C"
                                       "a";
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"ASCII 0-9 ~\n", "ASCII 0-9 ~\n"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"表示ソフト", "\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67"},
        {"午前", "\x8C\xDF\x91\x4F"},
        {"ｱｲ", "\xB1\xB2"},
        {"①～－", "\x87\x40\x81\x60\x81\x7C"}, // code page 932 forms
        {longUtf8, longSjis},
    };
    for (const auto& [utf8, sjis] : cases) {
        SCOPED_TRACE(utf8.substr(0, 20));
        EXPECT_EQ(fromUtf8(utf8), sjis);
        EXPECT_EQ(toUtf8(sjis), utf8);
    }
}

TEST(Sjis, BadInputBecomesOneReplacementPerCharacter) {
    const std::string r = "\xEF\xBF\xBD"; // U+FFFD
    const std::pair<std::string, std::string> undecodable[] = {
        {"a\x95", "a" + r}, // lone lead byte at the end
        {"\x80"
         "a\xA0\xFD\xFF",
         r + "a" + r + r + r}, // unassigned single bytes
        {"\x85\x40"
         "b",
         r + "b"}, // unassigned double-byte
        {"\x81\x7F"
         "c",
         r + "c"}, // bad second byte
        {"\x95\x5C\x85\x40\x95\x5C", "表" + r + "表"},
    };
    for (const auto& [sjis, utf8] : undecodable) {
        SCOPED_TRACE(testing::PrintToString(sjis));
        EXPECT_EQ(toUtf8(sjis), utf8);
    }
    const std::pair<std::string, std::string> unmappable[] = {
        {"a\xF0\x9F\x98\x80"
         "b",
         "a?b"},
        {"caf\xC3\xA9!", "caf?!"},
        {"\xFF"
         "abc",
         "?abc"},
        {"\x80"
         "ab",
         "?ab"}, // stray bytes keep what follows
        {"\xE3\x81"
         "A",
         "?A"},
        {"x\xE3\x81", "x?"}, // so do truncated sequences
        {"\xE3\x81\xE8\xA1\xA8", "?\x95\x5C"},
    };
    for (const auto& [utf8, sjis] : unmappable) {
        SCOPED_TRACE(testing::PrintToString(utf8));
        EXPECT_EQ(fromUtf8(utf8), sjis);
    }
}

} // namespace
} // namespace kab::sjis
