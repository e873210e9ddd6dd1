#include "foundation/sjis.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <string>
#include <vector>

namespace kab::sjis {
namespace {

// The C library's iconv, called as the program called it before it had
// tables of its own: a sequence that does not convert is replaced and
// stepped over, and iconv starts afresh after it.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() { iconv_close(cd_); }
    bool opened() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    template <typename Skip>
    std::string run(std::string_view in, std::string_view replacement, Skip skip) {
        std::string out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::size_t pos = 0;
        while (pos < in.size()) {
            char buf[256];
            char* src = const_cast<char*>(in.data() + pos);
            std::size_t srcLeft = in.size() - pos;
            char* dst = buf;
            std::size_t dstLeft = sizeof buf;
            const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            pos = in.size() - srcLeft;
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                out.append(replacement);
                pos += skip(in, pos);
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

std::string iconvToUtf8(std::string_view sjis) {
    static Iconv conv("UTF-8", "CP932");
    return conv.run(sjis, "\xEF\xBF\xBD",
                    [](std::string_view s, std::size_t i) { return next(s, i) - i; });
}

// A bad UTF-8 sequence is its lead byte and the continuation bytes that follow.
std::string iconvFromUtf8(std::string_view utf8) {
    static Iconv conv("CP932", "UTF-8");
    return conv.run(utf8, "?", [](std::string_view s, std::size_t i) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        std::size_t len = 1;
        while (len < n && i + len < s.size() &&
               (static_cast<unsigned char>(s[i + len]) & 0xC0) == 0x80)
            ++len;
        return len;
    });
}

std::string utf8Of(char32_t c) {
    std::string s;
    if (c < 0x80) return s += static_cast<char>(c);
    const int n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    s += static_cast<char>((0xF00 >> n) | c >> 6 * (n - 1));
    for (int k = n - 2; k >= 0; --k)
        s += static_cast<char>(0x80 | (c >> 6 * k & 0x3F));
    return s;
}

// Both conversions against iconv on `inputs`; the first inputs they differ on.
template <typename Inputs>
std::vector<std::string> differences(std::string (*ours)(std::string_view),
                                     std::string (*theirs)(std::string_view), Inputs&& inputs) {
    std::vector<std::string> differ;
    inputs([&](const std::string& in) {
        if (differ.size() < 10 && ours(in) != theirs(in))
            differ.push_back(testing::PrintToString(in));
    });
    return differ;
}

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
    // Where code page 932 has several forms of a character, or a character
    // several code points, each form decodes and the code point encodes to
    // the form iconv picks: files written before keep their bytes.
    const struct {
        std::string sjis, utf8, sjisBack;
    } duplicates[] = {
        {"\xED\x40", "纊", "\xFA\x5C"}, // NEC's selection of IBM's kanji, IBM's
        {"\x87\x90", "≒", "\x81\xE0"},  // NEC's row 13, JIS X 0208's
        {"\xFA\x5B", "∵", "\x81\xE6"},
        {"\xEE\xEF", "ⅰ", "\xFA\x40"},
        {"\x81\x60", "～", "\x81\x60"},
        {"\x81\x91", "￠", "\x81\x91"},
        {"\xF0\x40", "\xEE\x80\x80", "\xF0\x40"}, // the user-defined area
    };
    for (const auto& d : duplicates) {
        SCOPED_TRACE(testing::PrintToString(d.sjis));
        EXPECT_EQ(toUtf8(d.sjis), d.utf8);
        EXPECT_EQ(fromUtf8(d.utf8), d.sjisBack);
    }
    const std::pair<std::string, std::string> encodedOnly[] = {
        {"〜", "\x81\x60"}, {"‖", "\x81\x61"}, {"−", "\x81\x7C"}, {"¢", "\x81\x91"},
        {"¬", "\x81\xCA"},  {"―", "\x81\x5C"}, {"¥", "\x5C"},     {"‾", "\x7E"},
    };
    for (const auto& [utf8, sjis] : encodedOnly)
        EXPECT_EQ(fromUtf8(utf8), sjis) << utf8;
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
        {std::string("\x95\0x", 3), r + std::string("\0x", 2)}, // a NUL is no second byte
        {"\x95 a", r + "a"},                  // a bad second byte goes with its lead byte
        {"\x95\xFD", r},                      // even one that is no character either
        {"\x80@\xA0\x40", r + "@" + r + "@"}, // the bytes after a bad single byte stay
        {"\x81\x81\x81", "\xEF\xBC\x9D" + r}, // ＝, then a lone lead byte
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
        {"\xC0\x80\x80", "??"}, // an overlong NUL, and a stray byte
        {"\xE0\x81\x81"
         "a",
         "?a"}, // an overlong A
        {"\xED\xA0\x80"
         "a",
         "?a"}, // a surrogate
        {"\xF4\x90\x80\x80"
         "a",
         "?a"},                         // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80", "??"}, // no five-byte forms
        {"\xC3\xA9\xFF\x41", "??A"},    // no code page 932 form, then bad UTF-8
        {"\xEF\xBB\xBF"
         "a",
         "?a"}, // a byte order mark is a character like others
        {"a\xF3\xA0\x81\x81"
         "b",
         "ab"},                // a language tag vanishes
        {"\xF3\xA0\x81", "?"}, // but not a truncated one
    };
    for (const auto& [utf8, sjis] : unmappable) {
        SCOPED_TRACE(testing::PrintToString(utf8));
        EXPECT_EQ(fromUtf8(utf8), sjis);
        EXPECT_EQ(iconvFromUtf8(utf8), sjis);
    }
    for (const auto& [sjis, utf8] : undecodable)
        EXPECT_EQ(iconvToUtf8(sjis), utf8) << testing::PrintToString(sjis);
}

// The conversions come from tables the build takes from iconv: they must
// give what iconv gives now, for every character and every place a bad
// sequence can start.
TEST(Sjis, ConvertsAsIconvDoes) {
    ASSERT_TRUE(Iconv("UTF-8", "CP932").opened());
    EXPECT_EQ(differences(toUtf8, iconvToUtf8,
                          [](auto check) {
                              for (int b = 0; b < 256; ++b) {
                                  check(std::string(1, static_cast<char>(b)));
                                  for (int t = 0; t < 256; ++t)
                                      check({static_cast<char>(b), static_cast<char>(t)});
                              }
                          }),
              std::vector<std::string>{});
    EXPECT_EQ(differences(fromUtf8, iconvFromUtf8,
                          [](auto check) {
                              for (char32_t c = 0; c <= 0x10FFFF; ++c)
                                  if (c < 0xD800 || c > 0xDFFF) check(utf8Of(c));
                              for (int b = 0x80; b < 256; ++b)
                                  for (int t = 0; t < 256; ++t)
                                      check({static_cast<char>(b), static_cast<char>(t)});
                              // three-byte forms cut short or spoilt at the last byte
                              for (int b = 0xE0; b < 0xF0; ++b)
                                  for (int t = 0x80; t < 0xC0; ++t)
                                      for (int u = 0; u < 256; ++u)
                                          check({static_cast<char>(b), static_cast<char>(t),
                                                 static_cast<char>(u)});
                          }),
              std::vector<std::string>{});
}

} // namespace
} // namespace kab::sjis
