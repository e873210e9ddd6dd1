#include "storage/stafflist.h"
#include "support/temp_dir.h"

#include "storage/folder.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace kab::storage
