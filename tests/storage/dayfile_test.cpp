#include "storage/dayfile.h"

#include "foundation/errors.h"
#include "storage/dayread.h"
#include "storage/recovery.h"
#include "storage/undohistory.h"
#include "support/temp_dir.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kab::storage {
namespace {

using Lines = std::vector<std::string>;

// CP932 bytes of the names the cases use.
const std::string mon = "\x8C\x8E", thu = "\x96\xD8", sun = "\x93\xFA";   // 月 木 日
const std::string sato = "\x8D\xB2\x93\xA1", yamada = "\x8E\x52\x93\x63"; // 佐藤 山田
const std::string taro = "\x91\xBE\x98\x59";                              // 太郎
const std::string so = "\x83\x5C", hyo = "\x95\x5C"; // ソ 表: second byte is "\"

TEST(DayFile, NameFromMonthAndDay) {
    struct Case {
        const char* name;
        DateSerial month, day;
        std::string want;
    };
    const Case cases[] = {{"serial of a Monday", 46363, 46363, "12;07" + mon + ".txt"},
                          {"month on show differs from the day's", encodeDate(2027, 1, 15),
                           encodeDate(2026, 12, 31), "01;31" + thu + ".txt"},
                          {"time of day ignored", encodeDate(2026, 3, 1) + 0.75,
                           encodeDate(2026, 3, 1) + 0.99, "03;01" + sun + ".txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dayFileName(c.month, c.day), c.want);
    }
    // in its folder, in the file system's form: the folder as it is, the
    // name converted from the program's text
    const struct {
        std::string dir, want;
    } paths[] = {
        {"/d/", "/d/12;07月.txt"},
        {"", "12;07月.txt"},
        {"/home/m\xC3\xBCller/data/", "/home/m\xC3\xBCller/data/12;07月.txt"},
        {"/x/\xED\x95\x9C\xF0\x9F\x98\x80/", "/x/\xED\x95\x9C\xF0\x9F\x98\x80/12;07月.txt"}};
    for (const auto& c : paths) {
        SCOPED_TRACE(c.dir);
        EXPECT_EQ(dayFilePath(c.dir, 46363, 46363), c.want);
    }
}

TEST(DayFile, LooksLikeADayFileName) {
    struct Case {
        std::string name;
        bool want;
    };
    const Case cases[] = {{"12;07" + mon + ".txt", true},
                          {"ab;", true},
                          {"1;07.txt", false},
                          {"123;x", false},
                          {";", false},
                          {"", false},
                          {"List1.txt", false},
                          {"smpl.dat", false},
                          {".12;07" + mon + ".txt.Ab12Cd", false}, // a temporary file
                          {"12;07;x", true},
                          {"1;2;3", false},
                          {hyo + ";x", true},
                          // 0x81 0x3B is one character: the first ";" is the fourth byte
                          {"\x81;;x", true},
                          {"a\x81;b;", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.name));
        EXPECT_EQ(looksLikeDayFileName(c.name), c.want);
    }
}

TEST(DayFile, SplitRecord) {
    struct Case {
        const char* name;
        std::string line;
        std::array<std::string, 4> want;
    };
    const Case cases[] = {
        {"record", "02\\09:00\\4.0\\" + sato, {"02", "09:00", "4.0", sato}},
        {"blank ends the name", "01\\9:00\\2\\" + yamada + " " + taro, {"01", "9:00", "2", yamada}},
        {"short line", "03\\09:00", {"03", "09:00", "", ""}},
        {"empty line", "", {"", "", "", ""}},
        {"backslash as second byte",
         "04\\10:00\\3.5\\" + so + hyo,
         {"04", "10:00", "3.5", so + hyo}},
        {"extra fields", "05\\10:00\\3.5\\a\\b", {"05", "10:00", "3.5", "a"}},
        {"blanks around fields", " 07 \\ 8:30\t\\ 2.25 \\ ---", {"07", "8:30", "2.25", "---"}},
        {"quoted name", "06\\10:00\\1.0\\\"x\\y z\"", {"06", "10:00", "1.0", "x\\y z"}},
        {"empty fields", "\\\\\\x", {"", "", "", "x"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(splitRecord(c.line), c.want);
    }
}

TEST(DayFile, WhatFitsInAField) {
    const struct {
        std::string text;
        bool want;
    } cases[] = {{"4.25", true},     {"", true},
                 {"abc", true},      {"4,5", true},
                 {so + hyo, true},   {"5\\x\\y", false},
                 {"5\r\n99", false}, {"5 6", false},
                 {"5\t", false},     {"\x7f", false},
                 {"\x01", false},    {"\"5", false},
                 {"5\"", true},      {std::string("5\0", 2), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fitsInField(c.text), c.want);
    }
}

TEST(DayFile, ShortenSavedDuration) {
    struct Case {
        std::string in, want;
    };
    const Case cases[] = {{"4.00", "4.0"},
                          {"4.50", "4.5"},
                          {"4.25", "4.25"},
                          {"12", "12"},
                          {"10.0", "10."},
                          {"4.0", "4.0"},
                          {"", ""},
                          {"0", "0"},
                          {"1000", "100"},
                          {"12.50", "12.50"},
                          // characters are counted, a double-byte one as one
                          {"\x82\x53.00", "\x82\x53.0"},
                          {"\x82\x53.0", "\x82\x53.0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(shortenSavedDuration(c.in), c.want);
    }
}

TEST(DayFile, BuildRecord) {
    struct Case {
        const char* name;
        int top;
        std::string hint, blockName;
        std::optional<std::string> want; // nullopt: no record
    };
    const Case cases[] = {{"first row", 47, "09:00\r\n4.00", sato, "01\\09:00\\4.0\\" + sato},
                          {"last pixel of a row", 87, "9:00\r\n2.25", "---", "01\\9:00\\2.25\\---"},
                          {"eighth row", 355, "20:30\n8.00\nextra", "x", "08\\20:30\\8.0\\x"},
                          {"lone CR", 91, "06:00\r12.00", "y", "02\\06:00\\12.00\\y"},
                          {"parked block", 401, "", sato, std::nullopt},
                          {"NUL ends the hint", 47, std::string("\0x", 2), sato, std::nullopt},
                          {"name with a blank kept", 135, "10:00\r\n3.50", yamada + " " + taro,
                           "03\\10:00\\3.5\\" + yamada + " " + taro}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(buildRecord(c.top, c.hint, c.blockName), c.want);
    }
}

TEST(DayFile, AHintIsTheStartAboveTheDuration) {
    EXPECT_EQ(joinHint("9:00", "4.25"), "9:00\r\n4.25");
    const struct {
        std::string hint;
        int count;
        std::string start, duration;
    } cases[] = {{joinHint("09:00", "4.25"), 2, "09:00", "4.25"},
                 {"", 0, "", ""},
                 {"09:00", 1, "09:00", ""},
                 {"9:00\n2\nextra", 3, "9:00", "2"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hint);
        const HintLines lines = splitHint(c.hint);
        EXPECT_EQ(lines.count, c.count);
        EXPECT_EQ(lines.start, c.start);
        EXPECT_EQ(lines.duration, c.duration);
    }
}

TEST(DayFile, AHintOfOneLineHasNoDuration) {
    for (std::string hint : {"09:00", "09:00\r\n", "\r\n"}) {
        SCOPED_TRACE(testing::PrintToString(hint));
        try {
            (void)buildRecord(47, hint, "x");
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::ListIndex);
            EXPECT_EQ(e.message(), Error::listIndex(1).message());
        }
    }
}

TEST(DayFile, DayRecordsAreSortedAndSkipParkedBlocks) {
    const std::vector<BlockText> blocks = {{311, "14:00\r\n2.00", "c"}, {47, "09:00\r\n4.00", "b"},
                                           {401, "", "parked"},         {135, "10:00\r\n3.50", "a"},
                                           {47, "06:30\r\n1.25", "a"},  {135, "9:00\r\n1.00", "A"}};
    EXPECT_EQ(buildDayRecords(blocks).lines(),
              (Lines{"01\\06:30\\1.25\\a", "01\\09:00\\4.0\\b", "03\\10:00\\3.5\\a",
                     "03\\9:00\\1.0\\A", "07\\14:00\\2.0\\c"}));
    EXPECT_EQ(buildDayRecords({}).count(), 0);
}

TEST(DayFile, OneBadBlockGivesNoRecords) {
    const std::vector<BlockText> blocks = {
        {47, "09:00\r\n4.00", "a"}, {91, "10:00", "b"}, {135, "11:00\r\n1.00", "c"}};
    EXPECT_THROW((void)buildDayRecords(blocks), Error);
}

// --- recovery files: a day file's records, an empty line, the whole board ---------

// A board with every kind of text a block can hold: a name whose second byte
// is "\", blanks, "%", line breaks, an empty hint; a block off the board's
// left edge; blocks stacked in an order of their own.
BoardState awkwardBoard() {
    BoardState b;
    for (std::size_t i = 0; i < b.blocks.size(); ++i) {
        b.blocks[i] = {160, 401, 160, 0, "", "---", "", ""};
        b.stack[i] = std::uint8_t(b.blocks.size() - i);
    }
    b.blocks[49] = {320, 135, 160, 1, "13:00\r\n4.0", so + hyo, "13:00\r\n17:00", "4.0"};
    b.blocks[48] = {-190, 47, 170, 1, "9:00\r\n4.25", "a b%20c", "9:00\r\n13:15", "4.25"};
    b.blocks[47] = {200, 311, 0, 1, "10:00\r\n0", yamada, "10:00\r\n10:00", "0"};
    b.blocks[0] = {1000, 401, 160, 7, "", "", "\r", "%"};
    std::swap(b.stack[0], b.stack[49]);
    return b;
}

TEST(RecoveryFile, StartsWithTheRecordsAndGivesTheBoardBackWhole) {
    BoardState empty;
    for (std::size_t i = 0; i < empty.blocks.size(); ++i)
        empty.stack[i] = std::uint8_t(i + 1);
    for (const BoardState& board : {awkwardBoard(), empty}) {
        const std::string records = boardRecords(board).text();
        const std::string bytes = recoveryFileBytes(records, encodeBoard(board));
        // a load reads the records and stops at the empty line
        ASSERT_TRUE(bytes.starts_with(records + "\r\n"));
        const auto back = recoveredBoard(bytes);
        ASSERT_TRUE(back);
        EXPECT_TRUE(*back == board);
        // nothing but printable ASCII behind the records
        for (char c : std::string_view(bytes).substr(records.size()))
            ASSERT_TRUE(c == '\r' || c == '\n' || (c >= ' ' && c < 0x7F)) << int(c);
    }
    EXPECT_EQ(boardRecords(awkwardBoard()).lines(),
              (Lines{"01\\9:00\\4.25\\a b%20c", "03\\13:00\\4.0\\" + so + hyo,
                     "07\\10:00\\0\\" + yamada}));
}

TEST(RecoveryFile, ADamagedFileGivesNoBoard) {
    const BoardState board = awkwardBoard();
    const std::string good = recoveryFileBytes(boardRecords(board).text(), encodeBoard(board));
    // cut short anywhere, as a disk that filled up would leave it
    for (std::size_t n = 0; n < good.size(); ++n)
        ASSERT_FALSE(recoveredBoard(std::string_view(good).substr(0, n))) << n;
    const auto edited = [&](std::string_view from, std::string_view to) {
        std::string bytes = good;
        const auto at = bytes.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return bytes.replace(at, from.size(), to);
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a record edited by hand", edited("\\4.25\\", "\\5\\")},
        {"another header", edited("kabrelo24 board 1", "kabrelo24 board 2")},
        {"a block twice in the stack", edited("stack 1 ", "stack 2 ")},
        {"a block line out of order", edited("\r\n2 ", "\r\n3 ")},
        {"a broken escape", edited("%0D%0A17:00", "%0G%0A17:00")},
        {"a number that is none", edited("-190", "-19o")},
        {"a field too many", edited(" 4.25\r\n", " 4.25 x\r\n")},
        {"something after the end", good + "x\r\n"},
        {"no empty line after the records",
         good.substr(0, good.find("\r\n\r\n") + 2) + good.substr(good.find("\r\n\r\n") + 4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(recoveredBoard(c.bytes));
    }
}

class RecoveryWrite : public kab::test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ::setenv("XDG_STATE_HOME", path("state").c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("XDG_STATE_HOME");
        TempDirTest::TearDown();
    }
    std::vector<std::string> names(const std::string& dir) const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    static mode_t modeOf(const std::string& p) {
        struct stat st {};
        EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
        return st.st_mode & 07777;
    }
    // Someone else's file or folder, where the test runs as root.
    static bool chownToNobody(const std::string& p) {
        return ::lchown(p.c_str(), 65534, 65534) == 0;
    }
};

// The user's own folder, under the state folder, one for each data folder
// whatever path reaches it; nothing is made in the data folder.
TEST_F(RecoveryWrite, ReplacedWholeWithoutVersionsInTheUsersOwnFolder) {
    std::filesystem::create_directory(path("data"));
    std::filesystem::create_directory_symlink(path("data"), path("link"));
    const std::string folder = recoveryFolder(path("data/"));
    ASSERT_EQ(folder.rfind(path("state/kabrelo24/recovery/"), 0), 0u) << folder;
    EXPECT_EQ(folder.size(), path("state/kabrelo24/recovery/").size() + 17);
    EXPECT_EQ(recoveryFolder(path("link/")), folder);
    EXPECT_NE(recoveryFolder(path("state/")), folder);
    const std::string file = recoveryPath(folder, "12;07月.txt");
    EXPECT_EQ(recoveryPath(folder, "12;07月.txt", 3), file + ".3");

    for (const std::string bytes : {"01\\9:00\\2\\a\r\n", "", "02\\9:00\\2\\b\r\n"}) {
        writeRecoveryFile(file, bytes);
        EXPECT_EQ(readBytes(file), bytes);
        EXPECT_EQ(readRecoveryFile(file), bytes);
        // no temporary file left, no version kept
        EXPECT_EQ(names(folder), std::vector<std::string>{"12;07月.txt"});
    }
    EXPECT_EQ(modeOf(file), 0600u);
    for (const char* level : {"state/kabrelo24", "state/kabrelo24/recovery"})
        EXPECT_EQ(modeOf(path(level)), 0700u) << level;
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_TRUE(std::filesystem::is_empty(path("data"))) << "nothing in the data folder";

    // read as a day file (a drop onto the window), it is the board's records
    const BoardState board = awkwardBoard();
    writeRecoveryFile(file, recoveryFileBytes(boardRecords(board).text(), encodeBoard(board)));
    EXPECT_EQ(readDayFile(file).value().lines.lines(), boardRecords(board).lines());

    removeRecoveryFile(file);
    removeRecoveryFile(file); // already gone: no failure
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// Nobody else can make the user's board write through a folder or a link of
// theirs, nor hand the board a file of theirs.
TEST_F(RecoveryWrite, OnlyTheUsersOwnFoldersAndFilesAreUsed) {
    const std::string folder = recoveryFolder(path("data/"));
    const std::string file = recoveryPath(folder, "12;07月.txt");
    const bool root = ::geteuid() == 0;
    const struct {
        const char* what;
        std::function<void()> plant;
        bool writes; // the write goes through
        bool needsRoot = false;
    } rows[] = {
        {"a link for the folder",
         [&] {
             std::filesystem::create_directories(path("state/kabrelo24/recovery"));
             std::filesystem::create_directory_symlink(path("elsewhere"),
                                                       folder.substr(0, folder.size() - 1));
         },
         false},
        {"a link for a level above it",
         [&] {
             std::filesystem::create_directories(path("state/kabrelo24"));
             std::filesystem::create_directory_symlink(path("elsewhere"),
                                                       path("state/kabrelo24/recovery"));
         },
         false},
        {"a folder open to others: narrowed",
         [&] {
             std::filesystem::create_directories(folder);
             ::chmod(folder.c_str(), 0777);
         },
         true},
        {"a link in place of the file: replaced, not followed",
         [&] {
             std::filesystem::create_directories(folder);
             std::filesystem::create_symlink(path("victim"), file);
         },
         true},
        {"someone else's folder",
         [&] {
             std::filesystem::create_directories(folder);
             chownToNobody(folder);
         },
         false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.needsRoot && !root) continue;
        std::filesystem::remove_all(path("state"));
        std::filesystem::remove_all(path("elsewhere"));
        std::filesystem::create_directories(path("elsewhere"));
        writeBytes(path("victim"), "private");
        row.plant();
        bool wrote = true;
        try {
            writeRecoveryFile(file, "board");
        } catch (const Error&) {
            wrote = false;
        }
        EXPECT_EQ(wrote, row.writes);
        EXPECT_TRUE(std::filesystem::is_empty(path("elsewhere")));
        EXPECT_EQ(readBytes(path("victim")), "private");
        if (wrote) {
            EXPECT_EQ(modeOf(folder), 0700u);
            EXPECT_EQ(readRecoveryFile(file), "board");
        }
    }
    // read: the user's own regular files alone
    std::filesystem::remove_all(path("state"));
    writeRecoveryFile(file, "board");
    std::filesystem::create_symlink(file, file + ".2");
    EXPECT_FALSE(readRecoveryFile(file + ".2")) << "a link";
    if (root) {
        ASSERT_TRUE(chownToNobody(file));
        EXPECT_FALSE(readRecoveryFile(file)) << "someone else's file";
        EXPECT_TRUE(recoveryFilesOf(folder, "12;07月.txt").empty());
    }
}

TEST_F(RecoveryWrite, ADaysFilesOldestFirstAndTheOldFolderMovedIn) {
    const std::string day = "12;07月.txt";
    const struct {
        const char* name;
        int slot;
    } slots[] = {{"12;07月.txt", 1},   {"12;07月.txt.2", 2},  {"12;07月.txt.17", 17},
                 {"12;07月.txt.1", 0}, {"12;07月.txt.02", 0}, {"12;07月.txt.x", 0},
                 {"12;07月.txt.", 0},  {"12;08火.txt", 0},    {".12;07月.txt.Ab3xYz", 0}};
    for (const auto& s : slots)
        EXPECT_EQ(recoverySlot(s.name, day), s.slot) << s.name;

    std::filesystem::create_directories(path("data/.recovery"));
    const std::string folder = recoveryFolder(path("data/"));
    writeRecoveryFile(recoveryPath(folder, day, 1), "first");
    writeRecoveryFile(recoveryPath(folder, day, 2), "second");
    // an earlier release's, and one of someone else's beside it
    writeBytes(path("data/.recovery/") + day, "legacy");
    writeBytes(path("data/.recovery/12;08火.txt"), "theirs");
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_TRUE(chownToNobody(path("data/.recovery/12;08火.txt")));
    }
    adoptLegacyRecovery(path("data/"), folder);
    EXPECT_EQ(readBytes(recoveryPath(folder, day, 3)), "legacy");
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& [slot, hoursAgo] : {std::pair{2, 3}, {3, 2}, {1, 1}})
        std::filesystem::last_write_time(recoveryPath(folder, day, slot),
                                         now - std::chrono::hours(hoursAgo));
    std::vector<std::string> found;
    for (const auto& f : recoveryFilesOf(folder, day))
        found.push_back(f.path.substr(folder.size()) + "=" + readBytes(f.path));
    // the one changed last comes last
    EXPECT_EQ(found,
              (std::vector<std::string>{day + ".2=second", day + ".3=legacy", day + "=first"}));
    if (root) {
        EXPECT_EQ(names(path("data/.recovery")), std::vector<std::string>{"12;08火.txt"});
        EXPECT_EQ(readBytes(path("data/.recovery/12;08火.txt")), "theirs");
    } else {
        EXPECT_FALSE(std::filesystem::exists(path("data/.recovery"))) << "the empty folder goes";
    }
}

// The days a start tells of: each with the recovery file to offer, and
// whether its day was saved after that file was written.
TEST_F(RecoveryWrite, UnsavedDaysOfferTheNewestAndSayWhenTheDaySavedSince) {
    const std::string day = "12;07月.txt";
    const BoardState board = awkwardBoard();
    const std::string whole = recoveryFileBytes(boardRecords(board).text(), encodeBoard(board));
    struct File {
        int slot, hoursAgo;
        bool whole = true;
    };
    const struct {
        const char* name;
        int dayHoursAgo; // 0: no day file
        std::vector<File> files;
        int offered; // slot; 0: the day is not told of
        bool savedSince;
    } table[] = {
        {"no day file", 0, {{1, 2}}, 1, false},
        {"both after the save", 3, {{1, 2}, {2, 1}}, 2, false},
        {"saved since", 1, {{1, 2}}, 1, true},
        {"one before and one after the save", 2, {{2, 3}, {1, 1}}, 1, false},
        {"both before the save", 1, {{1, 3}, {2, 2}}, 2, true},
        {"a damaged file is not offered", 3, {{1, 2, false}}, 0, false},
        {"the whole one of two", 3, {{1, 2}, {2, 1, false}}, 1, false},
    };
    const auto now = std::filesystem::file_time_type::clock::now();
    int n = 0;
    for (const auto& c : table) {
        SCOPED_TRACE(c.name);
        const std::string data = path("data" + std::to_string(++n) + "/");
        std::filesystem::create_directories(data);
        const std::string folder = recoveryFolder(data);
        if (c.dayHoursAgo) {
            writeBytes(data + day, "01\\9:00\\2\\a\r\n");
            std::filesystem::last_write_time(data + day, now - std::chrono::hours(c.dayHoursAgo));
        }
        for (const File& f : c.files) {
            writeRecoveryFile(recoveryPath(folder, day, f.slot), f.whole ? whole : "01\\9:00");
            std::filesystem::last_write_time(recoveryPath(folder, day, f.slot),
                                             now - std::chrono::hours(f.hoursAgo));
        }
        const auto days = unsavedDays(folder, data);
        if (c.offered == 0) {
            EXPECT_TRUE(days.empty());
            continue;
        }
        ASSERT_EQ(days.size(), 1u);
        EXPECT_EQ(days[0].dayName, day);
        EXPECT_EQ(days[0].path, recoveryPath(folder, day, c.offered));
        EXPECT_EQ(days[0].savedSince, c.savedSince);
    }
    // two days, each told of once, whatever else lies in the folder
    const std::string data = path("data" + std::to_string(++n) + "/");
    const std::string folder = recoveryFolder(data);
    writeRecoveryFile(recoveryPath(folder, day, 1), whole);
    writeRecoveryFile(recoveryPath(folder, day, 2), whole);
    writeRecoveryFile(recoveryPath(folder, "12;09水.txt", 1), whole);
    writeBytes(folder + ".12;08火.txt.Ab3xYz", whole);
    std::vector<std::string> told;
    for (const auto& d : unsavedDays(folder, data))
        told.push_back(d.dayName);
    EXPECT_EQ(told, (std::vector<std::string>{day, "12;09水.txt"}));
}

TEST_F(RecoveryWrite, TheWriterDoesTheLastRequestForEachFile) {
    std::filesystem::create_directory(path("data"));
    const std::string folder = recoveryFolder(path("data/"));
    const std::string a = folder + "a", b = folder + "b";
    {
        RecoveryWriter writer;
        writer.write(a, "1");
        writer.write(b, "2");
        writer.write(a, "3");
        writer.flush();
        EXPECT_EQ(readBytes(a), "3");
        EXPECT_EQ(readBytes(b), "2");
        writer.write(b, "4");
        writer.remove(a);
        // the last requests are done before the writer goes
    }
    EXPECT_FALSE(std::filesystem::exists(a));
    EXPECT_EQ(readBytes(b), "4");
}

// --- the undo history's rules -------------------------------------------------------

// Block 50 alone on row 3, as the board holds it.
BoardState boardWith(int left, int width, const char* hint, const char* times, const char* duration,
                     const char* name = "a") {
    BoardState b;
    for (std::size_t i = 0; i < b.blocks.size(); ++i) {
        b.blocks[i] = {160, 401, 160, 0, "", "---", "", ""};
        b.stack[i] = std::uint8_t(i + 1);
    }
    b.blocks[49] = {left, 135, width, 1, hint, name, times, duration};
    return b;
}

TEST(UndoHistoryRules, AFieldEditIsOneBlocksStartOrDuration) {
    const BoardState at9 = boardWith(160, 160, "09:00\r\n4.0", "09:00\r\n13:00", "4.0");
    BoardState otherBlock = boardWith(160, 170, "09:00\r\n4.25", "09:00\r\n13:15", "4.25");
    otherBlock.blocks[48] = {160, 47, 160, 1, "09:00\r\n4.0", "b", "09:00\r\n13:00", "4.0"};
    BoardState restacked = at9;
    std::swap(restacked.stack[0], restacked.stack[1]);
    BoardState parked = at9;
    parked.blocks[49].tag = 0;
    const struct {
        const char* what;
        BoardState after;
        std::optional<FieldEdit> edit;
    } rows[] = {
        {"longer", boardWith(160, 170, "09:00\r\n4.25", "09:00\r\n13:15", "4.25"),
         FieldEdit{50, FieldEdit::Duration}},
        {"later", boardWith(170, 160, "09:15\r\n4.0", "09:15\r\n13:15", "4.0"),
         FieldEdit{50, FieldEdit::Start}},
        {"later and longer", boardWith(170, 170, "09:15\r\n4.25", "09:15\r\n13:30", "4.25"),
         std::nullopt},
        {"renamed", boardWith(160, 160, "09:00\r\n4.0", "09:00\r\n13:00", "4.0", "b"),
         std::nullopt},
        {"another row",
         [&] {
             BoardState b = at9;
             b.blocks[49].top = 179;
             return b;
         }(),
         std::nullopt},
        {"two blocks changed", otherBlock, std::nullopt},
        {"the stack changed", restacked, std::nullopt},
        {"parked", parked, std::nullopt},
        {"nothing changed", at9, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(fieldEdit(at9, row.after), row.edit);
    }
}

class UndoHistoryTest : public RecoveryWrite {};

// A day's steps and its recovery file, action by action.
TEST_F(UndoHistoryTest, StepsBurstsAndTheRecoveryFileOfTheDay) {
    std::filesystem::create_directory(path("data"));
    const FilePath data = path("data/");
    const FilePath folder = recoveryFolder(data);
    const DayShown day{encodeDate(2026, 12, 1), encodeDate(2026, 12, 7), "Mon", "2026/12", 0};
    const DayShown next{encodeDate(2026, 12, 1), encodeDate(2026, 12, 8), "Tue", "2026/12", 0};
    const FilePath dayName = inFolder("", dayFileName(day.month, day.day));
    BoardState empty = boardWith(160, 160, "", "", "");
    empty.blocks[49] = empty.blocks[0];
    const auto longer = [](int quarters) {
        const int minutes = 240 + 15 * quarters;
        char hint[32], times[32], dur[16];
        std::snprintf(dur, sizeof dur, "%d.%02d", minutes / 60, minutes % 60 * 100 / 60);
        std::snprintf(hint, sizeof hint, "09:00\r\n%s", dur);
        std::snprintf(times, sizeof times, "09:00\r\n%02d:%02d", 9 + minutes / 60, minutes % 60);
        return boardWith(160, 160 + 10 * quarters, hint, times, dur);
    };
    const BoardState later = boardWith(170, 200, "09:15\r\n5.0", "09:15\r\n14:15", "5.0");
    writeBytes(data + dayName, "");

    UndoHistory history(data, folder, day, empty);
    using C = UndoHistory::Change;
    const auto recovered = [&]() -> std::string {
        history.flush();
        const auto bytes = readRecoveryFile(recoveryPath(folder, dayName));
        if (!bytes) return "(none)";
        return bytes->substr(0, bytes->find("\r\n\r\n") + 2);
    };
    const auto recordsOf = [](const BoardState& b) { return boardRecords(b).text(); };
    const struct {
        const char* what;
        std::function<void()> act;
        std::size_t undoable, redoable;
        std::string recovery; // the day's recovery file's records
    } steps[] = {
        {"placed", [&] { history.take(day, longer(0), C::Edit); }, 1, 0, recordsOf(longer(0))},
        {"a notch", [&] { history.take(day, longer(1), C::Burst); }, 2, 0, recordsOf(longer(1))},
        {"more notches",
         [&] {
             for (int q = 2; q <= 4; ++q)
                 history.take(day, longer(q), C::Burst);
         },
         2, 0, recordsOf(longer(4))},
        {"the start", [&] { history.take(day, later, C::Burst); }, 3, 0, recordsOf(later)},
        {"a notch after a click",
         [&] {
             history.endBurst();
             history.take(day, longer(4), C::Burst);
         },
         4, 0, recordsOf(longer(4))},
        {"nothing changed", [&] { history.take(day, longer(4), C::Edit); }, 4, 0,
         recordsOf(longer(4))},
        {"undone", [&] { EXPECT_TRUE(history.undo()); }, 3, 1, recordsOf(later)},
        {"a notch after an undo cuts off the redo", [&] { history.take(day, longer(5), C::Burst); },
         4, 0, recordsOf(longer(5))},
        {"the next day loaded", [&] { history.take(next, empty, C::Load); }, 5, 0,
         recordsOf(longer(5))},
        {"back to the day, unsaved", [&] { EXPECT_TRUE(history.undo()); }, 4, 1,
         recordsOf(longer(5))},
        {"saved", [&] { history.saved(); }, 4, 1, "(none)"},
        {"changed after the save", [&] { history.take(day, longer(0), C::Edit); }, 5, 0,
         recordsOf(longer(0))},
        {"back to what was saved", [&] { history.take(day, longer(5), C::Edit); }, 6, 0, "(none)"},
        {"nothing to redo", [&] { EXPECT_FALSE(history.redo()); }, 6, 0, "(none)"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(history.undoable(), step.undoable);
        EXPECT_EQ(history.redoable(), step.redoable);
        EXPECT_EQ(recovered(), step.recovery);
    }
    EXPECT_FALSE(history.unsaved());

    // no more than the bound is kept, the latest steps: the oldest is the
    // tenth of these
    for (std::size_t i = 0; i < UndoHistory::kSteps + 10; ++i)
        history.take(day, longer(int(i % 3)), C::Edit);
    EXPECT_EQ(history.undoable(), UndoHistory::kSteps);
    while (history.undo()) {
    }
    EXPECT_EQ(history.board(), longer(9 % 3));
}

} // namespace
} // namespace kab::storage
