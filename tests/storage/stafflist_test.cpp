#include "storage/stafflist.h"
#include "support/temp_dir.h"

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

} // namespace
} // namespace kab::storage
