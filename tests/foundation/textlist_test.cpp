#include "foundation/textlist.h"
#include "support/temp_dir.h"

#include "foundation/errors.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace kab {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TextList listOf(const Lines& lines) {
    TextList list;
    for (const auto& l : lines)
        list.append(l);
    return list;
}

TEST(TextList, SetTextCutsAtEveryLineBreak) {
    struct Case {
        std::string text;
        Lines want;
    };
    const Case cases[] = {{"09:00\r\n4.0", {"09:00", "4.0"}},
                          {"09:00\r\n", {"09:00"}},
                          {"a\r\r\nb", {"a", "", "b"}},
                          {"", {}},
                          {"\r\n", {""}},
                          {"\n\n", {"", ""}},
                          {"a\rb\nc", {"a", "b", "c"}},
                          {"a\n\rb", {"a", "", "b"}},
                          {"a\r\n\r\n", {"a", ""}},
                          {"a\0b\r\n"s, {"a"}},
                          {"\0a"s, {}},
                          {"\x95\x5C\r\n\x83\x5C", {"\x95\x5C", "\x83\x5C"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        TextList list = listOf({"old"});
        list.setText(c.text);
        EXPECT_EQ(list.lines(), c.want);
    }
}

TEST(TextList, TextEndsEveryLineWithCrLf) {
    EXPECT_EQ(TextList().text(), "");
    EXPECT_EQ(listOf({""}).text(), "\r\n");
    EXPECT_EQ(listOf({"09:00", "4.0"}).text(), "09:00\r\n4.0\r\n");
}

TEST(TextList, IndexOutOfRange) {
    TextList list = listOf({"a"});
    struct Case {
        int index;
        bool forInsert;
    };
    const Case cases[] = {{1, false}, {-1, false}, {2, true}, {-1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << (c.forInsert ? " insert" : " at"));
        try {
            if (c.forInsert)
                list.insert(c.index, "x");
            else
                (void)list.at(c.index);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::ListIndex);
            std::string tail = "(" + std::to_string(c.index) + ")";
            EXPECT_EQ(e.message().substr(e.message().size() - tail.size()), tail);
        }
    }
    EXPECT_EQ(list.lines(), Lines{"a"});
    list.insert(1, "c");
    list.insert(0, "0");
    list.insert(2, "b");
    EXPECT_EQ(list.lines(), (Lines{"0", "a", "b", "c"}));
    EXPECT_EQ(list.at(3), "c");
}

TEST(TextList, DelimitedText) {
    struct Case {
        const char* name;
        std::string text;
        char delimiter;
        Lines want;
    };
    const Case cases[] = {
        {"record", "03\\09:00\\4.0\\---\\\\\\", '\\', {"03", "09:00", "4.0", "---", "", "", ""}},
        {"trailing delimiters", "abc\\\\\\", '\\', {"abc", "", "", ""}},
        {"blank splits a name", "03\\09:00\\a b\\x", '\\', {"03", "09:00", "a", "b", "x"}},
        {"second byte 5C",
         "03\\\x95\x5C\\\x83\x5C\x83\x5C",
         '\\',
         {"03", "\x95\x5C", "\x83\x5C\x83\x5C"}},
        {"comma", "a,b", ',', {"a", "b"}},
        {"delimiter last", "a,", ',', {"a", ""}},
        {"blank after last delimiter", "a, ", ',', {"a"}},
        {"leading delimiter", ",a", ',', {"", "a"}},
        {"only delimiter", ",", ',', {"", ""}},
        {"double delimiter", "a,,b", ',', {"a", "", "b"}},
        {"empty", "", ',', {}},
        {"blanks only", " \t\r\n", ',', {}},
        {"blanks around", " a\t,\x01 b ", ',', {"a", "b"}},
        {"quoted delimiter", "\"a,b\",c", ',', {"a,b", "c"}},
        {"doubled quote", "\"a\"\"b\"", ',', {"a\"b"}},
        {"empty quotes", "\"\",x", ',', {"", "x"}},
        {"quote inside a field", "a\"b", ',', {"a\"b"}},
        {"quoted then more", "\"a\"b", ',', {"a", "b"}},
        {"quoted blank", "\"a b\"", ',', {"a b"}},
        {"unclosed", "\"abc", ',', {"ab"}},
        {"unclosed empty", "\"", ',', {""}},
        {"unclosed doubled", "\"ab\"\"", ',', {"ab"}},
        {"unclosed double-byte", "\"a\x95\x5C", ',', {"a"}},
        {"NUL ends the text", "a,b\0,c"s, ',', {"a", "b"}},
        {"NUL first", "\0a"s, ',', {}},
        {"NUL after delimiter", ",\0x"s, ',', {"", ""}},
        {"NUL in quotes", "\"a\0b\""s, ',', {""}},
        {"lead byte before NUL", "a\x81\0,b"s, ',', {"a\x81"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextList list = listOf({"old"});
        list.setDelimiter(c.delimiter);
        list.setDelimitedText(c.text);
        EXPECT_EQ(list.lines(), c.want);
    }
}

TEST(TextList, QuoteCharIsAMember) {
    TextList list;
    list.setQuoteChar('\'');
    list.setDelimitedText("'a,b',\"c");
    EXPECT_EQ(list.lines(), (Lines{"a,b", "\"c"}));
}

TEST(TextList, SortFoldsAsciiLettersOnly) {
    struct Case {
        const char* name;
        Lines in;
        Lines want;
    };
    const Case cases[] = {
        {"records by row then start",
         {"03\\10:00\\1", "01\\09:00\\2", "03\\09:00\\3", "02\\23:00\\4"},
         {"01\\09:00\\2", "02\\23:00\\4", "03\\09:00\\3", "03\\10:00\\1"}},
        {"case ignored", {"b", "C", "a"}, {"a", "b", "C"}},
        // folded to upper case, so letters come before "_"
        {"underscore", {"_", "a"}, {"a", "_"}},
        {"bytes unsigned", {"\x81\x40", "z", "1"}, {"1", "z", "\x81\x40"}},
        // the second byte 0x61 is not the letter a
        {"second byte not folded", {"\x82\x61", "\x82\x42"}, {"\x82\x42", "\x82\x61"}},
        {"prefix first", {"ab", "a"}, {"a", "ab"}},
        {"one line", {"x"}, {"x"}},
        {"none", {}, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextList list = listOf(c.in);
        list.sort();
        EXPECT_EQ(list.lines(), c.want);
    }
}

std::string randomText(std::mt19937& gen) {
    static const char alphabet[] = "ab \t\r\n\\\",\x81\x95\x5C\x40\x01";
    std::uniform_int_distribution<int> length(0, 30), pick(0, sizeof alphabet - 1), anyByte(0, 255),
        coin(0, 9);
    std::string s(static_cast<std::size_t>(length(gen)), '\0');
    for (char& c : s)
        c = coin(gen) == 0 ? static_cast<char>(anyByte(gen)) : alphabet[pick(gen)];
    return s;
}

TEST(TextList, RandomTextTerminatesAndRoundTrips) {
    std::mt19937 gen(7);
    for (int i = 0; i < 50000; ++i) {
        std::string s = randomText(gen);
        SCOPED_TRACE(testing::PrintToString(s));
        TextList list;
        list.setText(s);
        for (const auto& line : list.lines())
            ASSERT_EQ(line.find_first_of("\r\n\0"s), std::string::npos);
        TextList again;
        again.setText(list.text());
        ASSERT_EQ(again.lines(), list.lines());

        list.setDelimiter(i % 2 ? ',' : '\\');
        list.setDelimitedText(s);
        ASSERT_LE(list.count(), static_cast<int>(s.size()) + 1);
        for (const auto& field : list.lines())
            ASSERT_EQ(field.find('\0'), std::string::npos);
    }
}

class TextListFile : public kab::test::TempDirTest {};

TEST_F(TextListFile, SavesExactBytes) {
    struct Case {
        Lines lines;
        std::string bytes;
    };
    const Case cases[] = {
        {{}, ""}, {{"09:00", "4.0"}, "09:00\r\n4.0\r\n"}, {{"\x95\x5C"}, "\x95\x5C\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        // a longer file must be cut, not overwritten in place
        writeBytes(path("day"), std::string(100, 'z'));
        listOf(c.lines).saveToFile(path("day"));
        EXPECT_EQ(readBytes(path("day")), c.bytes);
    }
}

TEST_F(TextListFile, LoadStopsAtNul) {
    writeBytes(path("a"), "a\r\nb\0c\r\n"s);
    TextList list;
    list.loadFromFile(path("a"));
    EXPECT_EQ(list.lines(), (Lines{"a", "b"}));

    // past the first read chunk
    std::string big(70000, 'x');
    writeBytes(path("big"), big + "\r\ny\0z"s);
    list.loadFromFile(path("big"));
    EXPECT_EQ(list.lines(), (Lines{big, "y"}));
}

TEST_F(TextListFile, LoadOfEndlessZerosStopsAtTheFirstNul) {
    TextList list = listOf({"old"});
    const long long before = test::bytesRead();
    list.loadFromFile("/dev/zero");
    EXPECT_LT(test::bytesRead() - before, 64 * 1024) << "read on past the first NUL";
    EXPECT_EQ(list.count(), 0);
}

TEST_F(TextListFile, APathIsTheFileSystemsOwn) {
    for (const char* name : {"\xE8\xA1\xA8.txt", "m\xC3\xBCller.txt", "\xF0\x9F\x98\x80"}) {
        SCOPED_TRACE(name);
        listOf({"x"}).saveToFile(path(name));
        EXPECT_EQ(readBytes(path(name)), "x\r\n");
        TextList list;
        list.loadFromFile(path(name));
        EXPECT_EQ(list.lines(), Lines{"x"});
    }
}

TEST_F(TextListFile, FailuresNameTheAbsolutePath) {
    std::filesystem::create_directory(path("sub"));
    writeBytes(path("held"), "keep\r\n");
    // flock locks belong to the open file, so this conflicts with our own opens
    int holder = ::open(path("held").c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    struct Case {
        const char* name;
        std::string file;
        bool save;
        ErrorKind kind;
        std::string systemText;
    };
    const Case cases[] = {
        {"load missing", path("missing"), false, ErrorKind::FileOpen, "No such file"},
        {"load directory", path("sub"), false, ErrorKind::FileOpen, "Is a directory"},
        {"save into missing directory", path("nodir/x"), true, ErrorKind::FileCreate,
         "No such file"},
        {"save onto a directory", path("sub"), true, ErrorKind::FileCreate, "Is a directory"},
        {"save locked", path("held"), true, ErrorKind::FileCreate, "unavailable"},
        {"a Japanese folder", path("\xE8\xA1\xA8/x"), true, ErrorKind::FileCreate, "No such file"},
        // shown with "?" for what Shift-JIS cannot write
        {"a folder with an umlaut", path("m\xC3\xBCller/x"), true, ErrorKind::FileCreate,
         "No such file"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextList list = listOf({"old"});
        try {
            if (c.save)
                list.saveToFile(c.file);
            else
                list.loadFromFile(c.file);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), c.kind);
            EXPECT_NE(e.message().find("\"" + pathText(c.file) + "\""), std::string::npos)
                << e.message();
            EXPECT_NE(e.message().find(c.systemText), std::string::npos) << e.message();
        }
        EXPECT_EQ(list.lines(), Lines{"old"});
    }
    ::close(holder);
    EXPECT_EQ(readBytes(path("held")), "keep\r\n");
}

// Anyone who may read the file may lock it: a lock keeps no one from reading.
TEST_F(TextListFile, ALockStillReads) {
    writeBytes(path("locked"), "a\r\n");
    for (const int lock : {LOCK_SH, LOCK_EX}) {
        int holder = ::open(path("locked").c_str(), O_RDONLY);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(::flock(holder, lock), 0);
        TextList list;
        list.loadFromFile(path("locked"));
        EXPECT_EQ(list.lines(), Lines{"a"});
        ::close(holder);
    }
}

TEST_F(TextListFile, RelativeNameIsReportedUnderTheCurrentDirectory) {
    std::error_code ec;
    auto saved = std::filesystem::current_path(ec);
    ASSERT_FALSE(ec);
    ASSERT_EQ(::chdir(dir_.c_str()), 0);
    std::string message;
    try {
        TextList().loadFromFile("missing.txt");
    } catch (const Error& e) {
        message = e.message();
    }
    std::filesystem::current_path(saved, ec);
    EXPECT_NE(message.find("\"" + dir_ + "/missing.txt\""), std::string::npos) << message;
}

} // namespace
} // namespace kab
