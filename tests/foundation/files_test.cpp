#include "foundation/files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kab {
namespace {

TEST(FileNames, SplitAtTheLastSeparator) {
    struct Case {
        std::string path, dir, name;
    };
    const Case cases[] = {{"/a/b/c.txt", "/a/b/", "c.txt"},
                          {"c.txt", "", "c.txt"},
                          {"/", "/", ""},
                          {"", "", ""},
                          {"data/", "data/", ""},
                          {"a:b", "a:", "b"},
                          {"a/b:c", "a/b:", "c"},
                          // backslash is an ordinary character here
                          {"a\\b", "", "a\\b"},
                          {"data/\x95\x5C.txt", "data/", "\x95\x5C.txt"},
                          {"\x95\x5C/\x83\x5C", "\x95\x5C/", "\x83\x5C"},
                          // after a lead byte, "/" is the second half of a character
                          {"x/a\x81/b", "x/", "a\x81/b"},
                          {"x/a\x81:b", "x/", "a\x81:b"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        EXPECT_EQ(extractFileDir(c.path), c.dir);
        EXPECT_EQ(extractFileName(c.path), c.name);
    }
}

class FilesDir : public kab::test::TempDirTest {};

TEST_F(FilesDir, FileExists) {
    writeBytes(path("f"), "x");
    writeBytes(path("\xE8\xA1\xA8"), "x"); // 表 in UTF-8
    std::filesystem::create_directory(path("d"));
    std::filesystem::create_symlink(path("f"), path("link"));
    std::filesystem::create_symlink(path("gone"), path("dangling"));
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
    struct Case {
        std::string name;
        bool want;
    };
    // a path is taken as the file system has it: 表 in Shift-JIS bytes
    // names another file
    const Case cases[] = {
        {path("f"), true},         {path("\xE8\xA1\xA8"), true}, {path("\x95\x5C"), false},
        {path("d"), false},        {path("missing"), false},     {path("link"), true},
        {path("dangling"), false}, {path("f/inside"), false},    {"", false},
        {path("pipe"), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fileExists(c.name), c.want);
    }
}

TEST_F(FilesDir, RenameFile) {
    writeBytes(path("a"), "A");
    EXPECT_TRUE(renameFile(path("a"), path("\xE8\xA1\xA8")));
    EXPECT_FALSE(fileExists(path("a")));
    EXPECT_EQ(readBytes(path("\xE8\xA1\xA8")), "A");

    EXPECT_FALSE(renameFile(path("missing"), path("b")));
    EXPECT_FALSE(fileExists(path("b")));

    // an existing target is never replaced: both files stay as they were
    writeBytes(path("c"), "C");
    EXPECT_FALSE(renameFile(path("c"), path("\xE8\xA1\xA8")));
    EXPECT_EQ(readBytes(path("\xE8\xA1\xA8")), "A");
    EXPECT_EQ(readBytes(path("c")), "C");
}

TEST_F(FilesDir, AbsolutePath) {
    EXPECT_EQ(absolutePath("/x/y"), "/x/y");
    std::error_code ec;
    auto saved = std::filesystem::current_path(ec);
    ASSERT_FALSE(ec);
    ASSERT_EQ(::chdir(dir_.c_str()), 0);
    std::string relative = absolutePath("d/\x95\x5C");
    std::string empty = absolutePath("");
    ASSERT_EQ(::chdir("/"), 0);
    std::string atRoot = absolutePath("x");
    std::filesystem::current_path(saved, ec);
    EXPECT_EQ(relative, dir_ + "/d/\x95\x5C");
    EXPECT_EQ(empty, dir_ + "/");
    EXPECT_EQ(atRoot, "/x");
}

} // namespace
} // namespace kab
