#include "storage/seeding.h"
#include "support/temp_dir.h"

#include "foundation/datetime.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/numbers.h"
#include "foundation/textlist.h"
#include "storage/dayfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kab::storage {
namespace {

using Lines = std::vector<std::string>;

class Seeding : public kab::test::TempDirTest {
protected:
    std::string data() const { return dir_ + "/"; }
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_))
            names.insert(e.path().filename().string());
        return names;
    }
};

// 佐藤 and 表 (second byte "\") in code page 932, lines ended by CR LF.
const std::string listSource = "佐藤\n表\n";
const std::string listBytes = "\x8D\xB2\x93\xA1\r\n\x95\x5C\r\n";
const std::string sampleSource = "02\\09:00\\4.0\\佐藤\r\n03\\9:30\\2.25\\表";
const std::string sampleBytes = "02\\09:00\\4.0\\\x8D\xB2\x93\xA1\r\n03\\9:30\\2.25\\\x95\x5C\r\n";

TEST_F(Seeding, AnEmptyFolderGetsBoth) {
    EXPECT_EQ(seedText(""), "");
    EXPECT_EQ(seedText("a\rb\r\n"), "a\r\nb\r\n");
    EXPECT_TRUE(seedStaffList(data(), listSource));
    EXPECT_TRUE(seedSampleDay(data(), sampleSource));
    EXPECT_EQ(readBytes(path("List1.txt")), listBytes);
    EXPECT_EQ(readBytes(path("smpl.dat")), sampleBytes);
    // a second build changes nothing
    EXPECT_FALSE(seedStaffList(data(), "other"));
    EXPECT_FALSE(seedSampleDay(data(), "other"));
    EXPECT_EQ(readBytes(path("List1.txt")), listBytes);
    EXPECT_EQ(readBytes(path("smpl.dat")), sampleBytes);
}

TEST_F(Seeding, TheUsersFilesAreKept) {
    struct Case {
        const char* name;
        std::vector<std::string> before; // files in the folder first
        bool list, sample;               // what gets seeded
    };
    const Case cases[] = {
        {"list in other case", {"list1.TXT"}, false, true},
        {"list in upper case", {"LIST1.TXT"}, false, true},
        {"a day file", {"12;07月.txt"}, true, false},
        {"a day of another month", {"01;31木.txt"}, true, false},
        {"sample present", {"smpl.dat"}, true, false},
        {"unrelated files", {"List2.txt", "1;07.txt", "smpl.dat.bak"}, true, true},
        {"both kept", {"List1.txt", "03;01日.txt"}, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& e : entries())
            std::filesystem::remove(path(e));
        for (const auto& f : c.before)
            writeBytes(path(f), "user's");
        EXPECT_EQ(seedStaffList(data(), listSource), c.list);
        EXPECT_EQ(seedSampleDay(data(), sampleSource), c.sample);
        std::set<std::string> want(c.before.begin(), c.before.end());
        if (c.list) want.insert("List1.txt");
        if (c.sample) want.insert("smpl.dat");
        EXPECT_EQ(entries(), want);
        for (const auto& f : c.before)
            EXPECT_EQ(readBytes(path(f)), "user's") << f;
    }
}

TEST_F(Seeding, AMissingFolderIsAnError) {
    try {
        seedStaffList(path("gone/"), listSource);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(),
                  Error::fileCreate(path("gone/List1.txt"), systemErrorText(ENOENT)).message());
    }
}

// The sources the build converts, in the source tree (named by the build:
// __FILE__ may be relative, as a compiler cache or a prefix map makes it).
std::string shipped(const char* name) {
    auto dir = std::filesystem::path(KABRELO_SOURCE_DIR) / "data";
    std::ifstream in(dir / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ShippedData, SampleDayFitsTheBoardAndTheList) {
    const std::string listText = shipped("List1.txt.utf8");
    const std::string sampleText = shipped("smpl.dat.utf8");
    ASSERT_FALSE(listText.empty());
    ASSERT_FALSE(sampleText.empty());
    for (const auto* text : {&listText, &sampleText}) // every character has a CP932 form
        EXPECT_EQ(sjis::toUtf8(sjis::fromUtf8(*text)), *text);

    TextList staff, sample;
    staff.setText(seedText(listText));
    sample.setText(seedText(sampleText));
    EXPECT_GE(staff.count(), 6);
    EXPECT_LE(staff.count(), 10);
    EXPECT_GE(sample.count(), 5);
    EXPECT_LE(sample.count(), 7);
    for (const auto& name : staff.lines()) {
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(name.find(' '), std::string::npos) << sjis::toUtf8(name);
    }
    std::vector<std::string> sorted = sample.lines();
    TextList resorted = sample;
    resorted.sort();
    EXPECT_EQ(resorted.lines(), sorted) << "saved days are sorted";
    for (const auto& line : sample.lines()) {
        SCOPED_TRACE(sjis::toUtf8(line));
        auto [row, start, duration, name] = splitRecord(line);
        // four fields and nothing the split would drop
        EXPECT_EQ(row + "\\" + start + "\\" + duration + "\\" + name, line);
        const int r = strToInt(row);
        EXPECT_TRUE(r >= 1 && r <= 8);
        EXPECT_EQ(row, format2d(r));
        const double t = strToDateTime(start, 2026) * 24;
        EXPECT_TRUE(t >= 6 && t <= 20) << t;
        EXPECT_EQ(t * 2, static_cast<int>(t * 2)) << "on a half hour";
        const double hours = strToFloat(duration);
        EXPECT_GT(hours, 0);
        EXPECT_LE(t + hours, 24);
        EXPECT_EQ(hours * 4, static_cast<int>(hours * 4)) << "in quarter hours";
        EXPECT_EQ(shortenSavedDuration(formatFixed2(hours)), duration) << "as a save writes it";
        EXPECT_NE(std::find(staff.lines().begin(), staff.lines().end(), name), staff.lines().end());
    }
}

} // namespace
} // namespace kab::storage
