#include "storage/stafflist.h"
#include "support/temp_dir.h"

#include "foundation/sjis.h"
#include "storage/folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace kab::storage {
namespace {

TEST(Folder, EqualsIgnoringAsciiCase) {
    struct Case {
        std::string a, b;
        bool want;
    };
    const Case cases[] = {{"List1.txt", "LIST1.TXT", true},
                          {"list1.txt", "List1.txt", true},
                          {"List1.txt", "List1.tx", false},
                          {"List1.txt", "List2.txt", false},
                          {"@", "`", false}, // 0x40 and 0x60 are not letters
                          {"[", "{", false},
                          {"", "", true},
                          // second bytes that look like letters are not folded
                          {"\x83h", "\x83H", false},
                          {"\x83h", "\x83h", true},
                          {"a\x83m", "A\x83m", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.a) + " " + testing::PrintToString(c.b));
        EXPECT_EQ(equalsIgnoringAsciiCase(c.a, c.b), c.want);
        EXPECT_EQ(equalsIgnoringAsciiCase(c.b, c.a), c.want);
    }
}

class StaffList : public kab::test::TempDirTest {};

// What saves killed before their end left goes; nothing else does, and
// nothing a save under way may still be writing.
TEST_F(StaffList, LeftoversOfKilledSavesGo) {
    const auto now = std::filesystem::file_time_type::clock::now();
    const auto old = now - std::chrono::hours(1);
    const struct {
        std::string name;
        bool folder;
        bool recent;
        bool stays;
    } table[] = {
        {".12;07月.txt.Ab3xYz", false, false, false},
        {".01;31木.txt.000000", false, false, false},
        {".12;07月.txt.Ab3xYz", false, true, true}, // a save may be writing it
        {".12;07月.txt.prev", false, false, true},  // the version a save replaced
        {".notes.txt.Ab3xYz", false, false, true},  // not a day file's
        {".12;07月.txt.Ab3xY", false, false, true},
        {".12;07月.txt.Ab3x-z", false, false, true},
        {"12;07月.txt", false, false, true},
        {".12;08火.txt.Ab3xYz", true, false, true}, // a folder
        // in the folder of a day's versions: a copy cut short, a version
        {".versions/12;07月.txt/.000003.Ab3xYz", false, false, false},
        {".versions/12;07月.txt/.000003.Ab3xYz", false, true, true},
        {".versions/12;07月.txt/000003", false, false, true},
        {".versions/notes.txt/.000003.Ab3xYz", false, false, true},
        // in the folder of the unsaved boards: a recovery file cut short
        {".recovery/.12;07月.txt.Ab3xYz", false, false, false},
        {".recovery/.12;07月.txt.Ab3xYz", false, true, true},
        {".recovery/12;07月.txt", false, false, true},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.name + (c.recent ? " recent" : ""));
        const std::string data = path("data") + "/";
        std::filesystem::remove_all(data);
        std::filesystem::create_directories(std::filesystem::path(data + c.name).parent_path());
        if (c.folder)
            std::filesystem::create_directory(data + c.name);
        else
            writeBytes(data + c.name, "x");
        std::filesystem::last_write_time(data + c.name, c.recent ? now : old);
        removeLeftoverSaves(data, std::time(nullptr) - leftoverAge);
        EXPECT_EQ(std::filesystem::exists(data + c.name), c.stays);
    }
}

TEST_F(StaffList, FoundWhateverItsCase) {
    struct Case {
        const char* name;
        std::vector<std::string> files, dirs;
        std::string want; // name in the folder
    };
    const Case cases[] = {
        {"as named", {"List1.txt"}, {}, "List1.txt"},
        {"lower case", {"list1.txt"}, {}, "list1.txt"},
        {"upper case", {"LIST1.TXT"}, {}, "LIST1.TXT"},
        {"exact name first", {"LIST1.TXT", "List1.txt", "list1.txt"}, {}, "List1.txt"},
        {"first in byte order", {"list1.txt", "LIST1.txt"}, {}, "LIST1.txt"},
        {"none", {"List2.txt", "List1.txt.bak", "xList1.txt"}, {}, "List1.txt"},
        {"a folder is not the list", {}, {"list1.txt"}, "List1.txt"},
        {"folder skipped", {"LIST1.TXT"}, {"List1.txt"}, "LIST1.TXT"},
        {"empty folder", {}, {}, "List1.txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string data = path(std::string("d-") + c.name) + "/";
        std::filesystem::create_directory(data);
        for (const auto& f : c.files)
            writeBytes(data + f, "x");
        for (const auto& d : c.dirs)
            std::filesystem::create_directory(data + d);
        EXPECT_EQ(staffListPath(data), data + c.want);
    }
    EXPECT_EQ(staffListPath(path("missing/")), path("missing/List1.txt"));
}

// A list read whole as far as any real one goes, and within bounds however
// large the file: no name box can stall the board or fill its memory.
TEST_F(StaffList, NamesAreReadWithinBounds) {
    const std::string hyo = "\x95\x5C"; // 表, whose second byte is "\"
    std::string many, big;
    for (int i = 0; i < maxStaffNames + 10; ++i)
        many += "n\r\n";
    while (big.size() < maxStaffListBytes + 100)
        big += std::string(98, 'b') + "\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t count;
        std::vector<std::string> first; // the first names
        std::string last;               // the last name
    };
    const Case cases[] = {
        {"a list", "a\r\n\r\na\nb", 4, {"a", "", "a", "b"}, "b"},
        {"more names than the bound", many, std::size_t(maxStaffNames), {"n"}, "n"},
        {"a name longer than the bound",
         std::string(300, 'a') + "\r\nb",
         2,
         {std::string(maxNameBytes, 'a'), "b"},
         "b"},
        {"a character across the cut",
         std::string(maxNameBytes - 1, 'a') + hyo + "\r\n",
         1,
         {std::string(maxNameBytes - 1, 'a')},
         std::string(maxNameBytes - 1, 'a')},
        {"one line of many megabytes", std::string(3 * maxStaffListBytes, 'x'), 0, {}, ""},
        // the line the byte bound cuts is left out
        {"more bytes than the bound",
         big,
         maxStaffListBytes / 100,
         {std::string(98, 'b')},
         std::string(98, 'b')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path("List1.txt"), c.bytes);
        const auto names = readStaffNames(path("List1.txt"));
        ASSERT_EQ(names.size(), c.count);
        for (std::size_t i = 0; i < c.first.size(); ++i)
            EXPECT_EQ(names[i], c.first[i]) << i;
        if (c.count > 0) {
            EXPECT_EQ(names.back(), c.last);
        }
    }
    // a pipe under the list's name is no list, and is never waited on
    std::filesystem::remove(path("List1.txt"));
    ASSERT_EQ(::mkfifo(path("List1.txt").c_str(), 0600), 0);
    EXPECT_TRUE(readStaffNames(path("List1.txt")).empty());
}

// A list is read as the editor that wrote it saved it: valid UTF-8 that is
// not plain ASCII as UTF-8, anything else as Shift-JIS; the names inside are
// Shift-JIS either way.
TEST_F(StaffList, ReadInTheEncodingItWasWrittenIn) {
    const std::string sato = sjis::fromUtf8("佐藤"), ito = sjis::fromUtf8("伊藤");
    struct Case {
        const char* name;
        std::string bytes;
        StaffListEncoding encoding;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"UTF-8 with a byte-order mark",
         "\xEF\xBB\xBF佐藤\r\n伊藤\r\n",
         StaffListEncoding::Utf8,
         {sato, ito}},
        {"a byte-order mark before ASCII",
         "\xEF\xBB\xBF"
         "abc\n",
         StaffListEncoding::Utf8,
         {"abc"}},
        {"UTF-8 kana without a mark",
         "サトウ\nいとう\n",
         StaffListEncoding::Utf8,
         {sjis::fromUtf8("サトウ"), sjis::fromUtf8("いとう")}},
        {"UTF-8 without a Shift-JIS form", "Zoë 😀\n", StaffListEncoding::Utf8, {"Zo? ?"}},
        {"Shift-JIS", sato + "\r\n" + ito + "\r\n", StaffListEncoding::ShiftJis, {sato, ito}},
        // half-width katakana: single Shift-JIS bytes that UTF-8 never starts with
        {"half-width kana", "\xB2\xC4\xB3\r\n", StaffListEncoding::ShiftJis, {"\xB2\xC4\xB3"}},
        {"ASCII only", "abc\r\nd\r\n", StaffListEncoding::ShiftJis, {"abc", "d"}},
        {"empty", "", StaffListEncoding::ShiftJis, {}},
        // one name saved as Shift-JIS in a list otherwise UTF-8: not UTF-8
        {"mixed",
         "佐藤\r\n" + ito + "\r\n",
         StaffListEncoding::ShiftJis,
         {"\xE4\xBD\x90\xE8\x97\xA4", ito}},
        {"a mark before Shift-JIS",
         "\xEF\xBB\xBF" + sato + "\n",
         StaffListEncoding::ShiftJis,
         {"\xEF\xBB\xBF" + sato}},
        {"UTF-8 cut in a character",
         "佐\xE8\x97",
         StaffListEncoding::ShiftJis,
         {"\xE4\xBD\x90\xE8\x97"}},
        {"an overlong form", "\xC0\xAF\n", StaffListEncoding::ShiftJis, {"\xC0\xAF"}},
        {"a surrogate", "\xED\xA0\x80\n", StaffListEncoding::ShiftJis, {"\xED\xA0\x80"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(staffListEncoding(c.bytes), c.encoding);
        writeBytes(path("List1.txt"), c.bytes);
        EXPECT_EQ(readStaffNames(path("List1.txt")), c.names);
    }
    // a UTF-8 list longer than the byte bound: the name cut off has no say
    std::string big;
    while (big.size() < maxStaffListBytes - 10)
        big += "佐藤\n";
    big += "\xE4\xBD\x90\xE8"; // a last line the bound cuts, no UTF-8
    big += std::string(100, '\x81');
    writeBytes(path("List1.txt"), big);
    const auto names = readStaffNames(path("List1.txt"));
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), sato);
    EXPECT_EQ(names.back(), sato);
}

} // namespace
} // namespace kab::storage
