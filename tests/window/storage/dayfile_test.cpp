// Day files through the window: load, save, the first-run sample, files
// dropped from a file manager, a day through the clipboard, and bad input of
// every kind.

#include "support/storage_fixture.h"

#include "foundation/versions.h"
#include "report/daypage.h"
#include "storage/dayplan.h"
#include "window/interaction/printing.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace kab::test {
namespace {

using Strings = std::vector<std::string>;

class DayFileTest : public StorageTest {};

TEST_F(DayFileTest, ARecordLoadsAndSavesBackAsItWasRead) {
    writeFile(kToday, "01\\9:00\\2\\---\r\n");
    reopen();
    EXPECT_EQ(board(), Strings{"1 9:00-11:00 2 --- @160+80"});
    EXPECT_EQ(hint(50), "9:00\r\n2");
    EXPECT_EQ(block(50)->y(), 47);
    EXPECT_EQ(form->currentBlock(), nullptr);
    EXPECT_FALSE(form->ShapeA->isVisible());
    // the editor keeps the last record read
    EXPECT_EQ(clock(form->dtp1->value()), "9:00");
    EXPECT_EQ(durationText(), "2");
    EXPECT_EQ(clock(form->dtp2->value()), "11:00");
    // and shows it, not only answers with it
    EXPECT_EQ(form->dtp1->text(), QStringLiteral("9:00"));
    EXPECT_EQ(form->Edit1->displayText(), QStringLiteral("2"));
    EXPECT_EQ(form->dtp2->text(), QStringLiteral("11:00"));
    form->spb3->click();
    EXPECT_EQ(readBytes(kToday), "01\\9:00\\2\\---\r\n");
    EXPECT_TRUE(env().reports.empty());
}

TEST_F(DayFileTest, SaveSortsByRowAndShortensDurations) {
    makeData();
    place(50, 5, hm(9, 0), "4.50");
    place(49, 2, hm(13, 30), "4.00");
    place(48, 2, hm(7, 0), "12");
    form->cmb1->setItems({"---", sjis::fromUtf8("山田")});
    form->cmb1->setCurrentIndex(1);
    form->spb3->click();
    EXPECT_EQ(readBytes(kToday), sjis::fromUtf8("02\\07:00\\12\\山田\r\n"
                                                "02\\13:30\\4.0\\---\r\n"
                                                "05\\09:00\\4.5\\---\r\n"));
    // the save changes no block
    EXPECT_EQ(hint(50), "09:00\r\n4.50");
    EXPECT_EQ(form->currentBlock(), block(48));
}

// What the window shows after a change to another full day, read from its
// backing store, is what the window draws afresh: every block that moved,
// and the board where one was, is painted again.
TEST_F(DayFileTest, ADayChangeRepaintsWhatMoved) {
    std::string first, second;
    for (int i = 0; i < 50; ++i) {
        first += "0" + std::to_string(1 + i % 8) + "\\" + std::to_string(6 + i % 15) + ":00\\" +
                 std::to_string(2 + i % 5) + "\\A" + std::to_string(i) + "\r\n";
        second += "0" + std::to_string(1 + (i + 3) % 8) + "\\" + std::to_string(7 + i % 13) +
                  ":30\\" + std::to_string(1 + i % 6) + ".5\\B" + std::to_string(i) + "\r\n";
    }
    writeFile(kToday, first);
    writeFile("12;08月.txt", second);
    reopen();
    QTest::qWait(20);
    const DateSerial today = form->dtp0->value();
    for (const DateSerial day : {today + 1, today, today + 2, today + 1}) {
        form->dtp0->setValue(day);
        reload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const QImage shown = form->screen()->grabWindow(form->winId()).toImage();
        const QImage drawn = form->grab().toImage();
        EXPECT_TRUE(shown.convertToFormat(QImage::Format_RGB32) ==
                    drawn.convertToFormat(QImage::Format_RGB32))
            << "day " << day - today;
    }
}

TEST_F(DayFileTest, AnEmptyDaySavesAnEmptyFile) {
    makeData();
    form->spb3->click();
    EXPECT_TRUE(exists(kToday));
    EXPECT_EQ(readBytes(kToday), "");
    EXPECT_TRUE(env().reports.empty());
}

TEST_F(DayFileTest, ABlankEndsTheNameField) {
    writeFile(kToday, "01\\9:00\\2\\山田 太郎\r\n");
    reopen();
    EXPECT_EQ(str(block(50)->caption()), "山田");
    form->spb3->click();
    EXPECT_EQ(readBytes(kToday), sjis::fromUtf8("01\\9:00\\2\\山田\r\n"));
}

TEST_F(DayFileTest, LoadingTwiceGivesTheSameBoard) {
    // a start before 6:00 is the next day's: 00:15, as a save writes a block
    // the wheel moved past midnight, comes back at 24:15 on the right
    writeFile(kToday, "03\\09:00\\4.0\\佐藤\r\n01\\6:30\\2.25\\山田\r\n08\\0:00\\1\\x\r\n"
                      "04\\00:15\\2\\z\r\n05\\5:45\\1\\w\r\n");
    reopen();
    const Strings first = board();
    ASSERT_EQ(first, (Strings{"3 9:00-13:00 4.0 佐藤 @160+160", "1 6:30-8:45 2.25 山田 @60+90",
                              "8 0:00-1:00 1 x @760+40", "4 0:15-2:15 2 z @770+80",
                              "5 5:45-6:45 1 w @990+40"}));
    reload();
    EXPECT_EQ(board(), first);
    for (int n = 1; n <= 45; ++n)
        ASSERT_EQ(block(n)->geometry(), QRect(160, 401, 160, 38)) << n;
    // and each start is written back as it was read
    form->spb3->click();
    EXPECT_EQ(readBytes(kToday), sjis::fromUtf8("01\\6:30\\2.25\\山田\r\n03\\09:00\\4.0\\佐藤\r\n"
                                                "04\\00:15\\2\\z\r\n05\\5:45\\1\\w\r\n"
                                                "08\\0:00\\1\\x\r\n"));
}

// Blocks are made as they are first needed, from the 50th down: whatever was
// made, the board holds the same once the rest is made, and the parking spot
// shows the same block on top of its stack.
TEST_F(DayFileTest, TheBlocksNotMadeYetWaitBeneathTheStack) {
    const std::string three = "03\\09:00\\4.0\\佐藤\r\n01\\6:30\\2.25\\山田\r\n08\\0:00\\1\\x\r\n";
    std::string fifty;
    for (int i = 0; i < 50; ++i)
        fifty += "02\\9:00\\1\\a\r\n";
    const struct {
        const char* what;
        std::string day;
        bool emptiedAndUndone;
        int top; // the block on show at the parking spot; 0 for none
    } table[] = {
        {"an empty day", "", false, 50},
        {"three records", three, false, 47},
        {"every block used", fifty, false, 0},
        {"three records, the day emptied and the load undone", three, true, 47},
    };
    const QPoint parking(board::parkingLeft + 20, board::parkingTop + 20);
    const auto shownTop = [&] {
        QWidget* w = form->sg1->childAt(parking);
        while (w && !qobject_cast<tk::Panel*>(w))
            w = w->parentWidget();
        return w ? TForm1::blockNumber(static_cast<tk::Panel*>(w)) : 0;
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.what);
        writeFile(kToday, c.day);
        reopen();
        if (c.emptiedAndUndone) {
            writeFile(kToday, "");
            reload();
            form->history().undo();
        }
        EXPECT_EQ(shownTop(), c.top);
        // a start makes what it shows, not the whole pool
        if (c.top > 1) {
            EXPECT_FALSE(form->blockMade(c.top - 1));
        }
        const storage::BoardState before = form->boardState();
        form->makeBlocksDownTo(1);
        EXPECT_EQ(form->boardState(), before);
        EXPECT_EQ(shownTop(), c.top);
    }
}

// The page printed from a day file (the report command's) is the page of the
// board after its load (Ctrl+P's): the same blocks where the board puts
// them, in their colours and stacking, with the same texts, list and hours.
TEST_F(DayFileTest, ThePageOfADayFileIsTheBoardsAfterItsLoad) {
    const auto lines = [](const report::DayPage& page) {
        Strings out;
        for (const auto& b : page.blocks)
            out.push_back(std::to_string(b.left) + "," + std::to_string(b.top) + "+" +
                          std::to_string(b.width) + " " + std::to_string(b.colour.r) + "." +
                          std::to_string(b.colour.g) + "." + std::to_string(b.colour.b) + " " +
                          str(b.name) + "|" + str(b.times) + "|" + str(b.duration));
        for (const auto& e : page.entries)
            out.push_back(std::to_string(e.row) + " " + str(e.name) + " " + str(e.start) + "-" +
                          str(e.end) + " " + (e.hours ? e.hours->text() : "?"));
        for (const auto& t : page.totals)
            out.push_back(str(t.name) + ": " + std::to_string(t.blocks) + " " + t.hours.text());
        out.push_back("total " + page.total.text() + " " + str(report::pageTitle(page.date)));
        return out;
    };
    std::string sixty;
    for (int i = 0; i < 60; ++i)
        sixty += "0" + std::to_string(1 + i % 8) + "\\9:00\\2\\n" + std::to_string(i % 3) + "\r\n";
    const struct {
        const char* what;
        const char* utf8;
    } table[] = {
        {"a sample day", "01\\07:00\\8.0\\佐藤\r\n02\\09:00\\4.0\\鈴木\r\n05\\13:00\\2.25\\"
                         "佐藤\r\n08\\18:00\\2.0\\---\r\n"},
        {"midnight and past it", "08\\0:00\\1\\x\r\n01\\23:30\\9\\y\r\n03\\22:00\\4.50\\x\r\n"
                                 "04\\00:15\\2\\y\r\n"},
        {"an empty duration after a record", "01\\9:00\\3.0\\a\r\n03\\9:00\\\\b\r\n"},
        {"seconds, no name, three fields", "02\\9:00:30\\2.5\\\r\n04\\9:00\\2\r\n"},
        {"rows off the board, no length, long", "00\\9:00\\2\\z\r\n09\\9:00\\0\\z\r\n10\\7:00\\"
                                                "12\\z\r\n06\\5:45\\4.0125\\z\r\n"},
        {"overlapping blocks stack", "03\\9:00\\4.0\\a\r\n03\\10:00\\4.0\\b\r\n"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.what);
        writeFile(kToday, c.utf8);
        reload();
        ASSERT_TRUE(env().reports.empty()) << env().reports[0].message.toStdString();
        const report::Day day = report::readDay(dataPath(), env().todayValue);
        EXPECT_TRUE(day.leftOut.empty());
        EXPECT_EQ(lines(report::dayPage(day)), lines(boardPage(*form)));
    }
    writeFile(kToday, sixty);
    reload();
    EXPECT_EQ(lines(report::dayPage(report::readDay(dataPath(), env().todayValue))),
              lines(boardPage(*form)));
    EXPECT_EQ(boardPage(*form).entries.size(), 50u);
}

// Bad input: each file gives the records before the fault and at most one
// clear report, never a crash or a hang.
TEST_F(DayFileTest, BadInput) {
    const std::string good = "01\\9:00\\2\\a\r\n";
    std::string sixty;
    for (int i = 0; i < 60; ++i)
        sixty += "0" + std::to_string(1 + i % 8) + "\\9:00\\2\\n" + std::to_string(i) + "\r\n";
    const struct {
        const char* what;
        std::string bytes;
        int placed;
        const char* report; // "" for none
    } table[] = {
        {"row not an integer", good + "1a\\9:00\\2\\b\r\n" + good, 1, "'1a' は整数ではありません."},
        {"bad start", good + "02\\9;00\\2\\b\r\n", 1, "'9;00' は日付または時刻ではありません."},
        {"bad duration", good + "03\\9:00\\2h\\c\r\n", 1, "'2h' は浮動小数点数ではありません."},
        {"three fields", good + "04\\9:00\r\n", 2, ""},
        {"more than 50 records", sixty, 50, ""},
        {"an empty line ends it", good + "\r\n" + good, 1, ""},
        {"a NUL ends it", good + std::string("\0", 1) + good, 1, ""},
        {"not Shift-JIS", "01\\9:00\\2\\\x81\xff\xfd\r\n", 1, ""},
        {"only line breaks", "\r\n\r\n", 0, ""},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.what);
        writeBytes(kToday, c.bytes);
        env().reports.clear();
        reload();
        int placed = 0;
        for (int n = 1; n <= TForm1::kBlocks; ++n) {
            const tk::Panel* p = form->Panel(n);
            placed += p->tag();
            EXPECT_TRUE(p->isVisible());
        }
        EXPECT_EQ(placed, c.placed);
        EXPECT_EQ(reportMessages(), c.report[0] ? std::vector<QString>{QString::fromUtf8(c.report)}
                                                : std::vector<QString>{});
        EXPECT_EQ(form->currentBlock(), nullptr);
        EXPECT_FALSE(form->ShapeA->isVisible());
        // the report command's reading stops where the load stops, saying why
        const auto plan = storage::readDayPlan(dataPath() + kToday, 2026);
        EXPECT_EQ(static_cast<int>(plan.assignments.size()), c.placed);
        EXPECT_EQ(plan.damage ? str(reportText(plan.damage->message)) : "", c.report);
    }
    // the first record after start-up with no duration: the box was empty,
    // setting it empty is no change, and the end cannot be computed
    writeFile(kToday, "02\\9:00\r\n");
    env().reports.clear();
    reopen();
    EXPECT_EQ(reportMessages(),
              std::vector<QString>{QStringLiteral("'' は浮動小数点数ではありません.")});
}

TEST_F(DayFileTest, BytesThatAreNotShiftJisComeBackUnchanged) {
    const std::string day = "01\\9:00\\2\\\x81\xff\xfd\r\n";
    writeBytes(kToday, day);
    reopen();
    EXPECT_EQ(block(50)->caption(), "\x81\xff\xfd");
    form->spb3->click();
    EXPECT_EQ(readBytes(kToday), day);
}

TEST_F(DayFileTest, WhatIsNoRegularFileLoadsAsAnEmptyDay) {
    makeData();
    place(50, 3, hm(9, 0), "4.0");
    std::filesystem::create_directory(dataPath() + kToday);
    reload();
    EXPECT_EQ(board(), Strings{});
    EXPECT_TRUE(env().reports.empty());
    std::filesystem::remove(dataPath() + kToday);

    ASSERT_EQ(mkfifo((dataPath() + kToday).c_str(), 0600), 0);
    reload(); // would wait for a writer if it were read
    EXPECT_EQ(board(), Strings{});
    EXPECT_TRUE(env().reports.empty());
}

TEST_F(DayFileTest, AGigabyteUnderADaysNameLoadsAtOnce) {
    makeData();
    const int fd = ::open((dataPath() + kToday).c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t(1) << 30), 0); // sparse: NUL bytes
    const std::string record = "02\\10:00\\3\\a\r\n";
    ASSERT_EQ(::pwrite(fd, record.data(), record.size(), 0), ssize_t(record.size()));
    ::close(fd);
    reload();
    EXPECT_EQ(board(), Strings{"2 10:00-13:00 3 a @200+120"});
    EXPECT_TRUE(env().reports.empty());
}

TEST_F(DayFileTest, SaveErrorsLeaveTheOldFileAsItWas) {
    // no data folder: the file-create error names the file
    place(50, 3, hm(9, 0), "4.0");
    form->spb3->click();
    ASSERT_EQ(env().reports.size(), 1u);
    EXPECT_TRUE(env().reports[0].message.startsWith(
        QStringLiteral("ファイル \"%1data/%2\". ")
            .arg(env().dir.path() + "/", QString::fromUtf8(kToday))))
        << env().reports[0].message.toStdString();
    EXPECT_TRUE(env().reports[0].message.endsWith(QStringLiteral(" を作成できません.")));

    // a folder under the day's name is not replaced
    env().reports.clear();
    std::filesystem::create_directories(dataPath() + kToday + "/inside");
    form->spb3->click();
    EXPECT_EQ(env().reports.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(dataPath() + kToday + "/inside"));
}

TEST_F(DayFileTest, ASaveStoppedBeforeTheRenameLeavesTheOldFileWhole) {
    const std::string old = sjis::fromUtf8("01\\9:00\\2\\前\r\n");
    writeBytes(kToday, old);
    reopen();
    place(49, 4, hm(12, 0), "3");
    FileWriteHooks crash;
    bool stopped = false;
    crash.beforeRename = [&] {
        stopped = true;
        throw std::runtime_error("power cut");
    };
    env().saveHooks = &crash;
    form->spb3->click();
    env().saveHooks = nullptr;
    EXPECT_TRUE(stopped);
    EXPECT_EQ(readBytes(kToday), old);
    EXPECT_EQ(listing(), Strings{kToday}) << "no temporary file is left";

    // a device failing half-way through the write
    FileWriteHooks failing;
    failing.failAfter = 10;
    failing.failErrno = ENOSPC;
    env().saveHooks = &failing;
    env().reports.clear();
    form->spb3->click();
    env().saveHooks = nullptr;
    EXPECT_EQ(readBytes(kToday), old);
    EXPECT_EQ(env().reports.size(), 1u);
    EXPECT_EQ(listing(), Strings{kToday});

    form->spb3->click();
    EXPECT_EQ(readBytes(kToday), sjis::fromUtf8("01\\9:00\\2\\前\r\n04\\12:00\\3\\---\r\n"));
}

TEST_F(DayFileTest, ABlockThatCannotBeWrittenWritesNothing) {
    const std::string old = "01\\9:00\\2\\a\r\n";
    writeBytes(kToday, old);
    reopen();
    place(49, 4, hm(12, 0), "3");
    block(20)->setHint("9:00"); // a hint of one line: no duration
    form->spb3->click();
    EXPECT_EQ(reportMessages(),
              std::vector<QString>{QStringLiteral("リストのインデックスが範囲を超えています (1)")});
    EXPECT_EQ(readBytes(kToday), old);
}

TEST_F(DayFileTest, TheSampleBecomesTodaysFileOnce) {
    writeFile("smpl.dat", "02\\10:00\\3\\見本\r\n");
    reopen();
    EXPECT_FALSE(exists("smpl.dat"));
    EXPECT_EQ(readBytes(kToday), sjis::fromUtf8("02\\10:00\\3\\見本\r\n"));
    EXPECT_EQ(board(), Strings{"2 10:00-13:00 3 見本 @200+120"});

    // with a file for today the sample stays where it is
    writeFile("smpl.dat", "05\\10:00\\3\\次\r\n");
    reopen();
    EXPECT_TRUE(exists("smpl.dat"));
    EXPECT_EQ(board(), Strings{"2 10:00-13:00 3 見本 @200+120"});

    // only a file seeds: a folder of that name is left alone
    std::filesystem::remove(dataPath() + kToday);
    std::filesystem::remove(dataPath() + "smpl.dat");
    std::filesystem::create_directories(dataPath() + "smpl.dat/inside");
    reopen();
    EXPECT_TRUE(std::filesystem::is_directory(dataPath() + "smpl.dat/inside"));
    EXPECT_FALSE(exists(kToday));
    EXPECT_EQ(board(), Strings{});
}

// The start-up clears away what a save killed before its end left behind.
TEST_F(DayFileTest, ALeftoverOfAKilledSaveGoesAtStartUp) {
    writeFile(kToday, "02\\10:00\\3\\a\r\n");
    const std::string leftover = dataPath() + "." + kToday + ".Q7zk2P";
    std::ofstream(leftover) << "02\\10:";
    std::filesystem::last_write_time(leftover, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::hours(2));
    reopen();
    EXPECT_EQ(listing(), Strings{kToday});
    EXPECT_EQ(board(), Strings{"2 10:00-13:00 3 a @200+120"});
}

// Installed in a folder whose name Shift-JIS cannot write, the board finds,
// seeds, loads and saves its own day and staff list, and leaves alone the
// folder whose name has "?" in their place.
TEST_F(DayFileTest, TheProgramFolderIsTakenAsTheFileSystemHasIt) {
    const std::string sample = sjis::fromUtf8("05\\10:00\\3\\見本\r\n02\\8:00\\2\\朝\r\n");
    for (const std::string folder : {"m\xC3\xBCller", "\xEC\x98\x88\xEC\x95\xBD\xF0\x9F\x98\x80"}) {
        SCOPED_TRACE(folder);
        const std::string base = env().dir.path().toStdString() + "/";
        const std::string own = base + folder + "/data/";
        const std::string lossy = base + sjis::toUtf8(pathText(folder)) + "/data/";
        for (const auto& d : {own, lossy}) {
            std::filesystem::create_directories(d);
            std::ofstream(d + "smpl.dat", std::ios::binary) << sample;
            std::ofstream(d + "List1.txt", std::ios::binary) << sjis::fromUtf8("山田\r\n");
        }
        std::ofstream(own + "List1.txt", std::ios::binary) << sjis::fromUtf8("自分\r\n");
        env().programFolder = QString::fromStdString(base + folder + "/");
        reopen();
        EXPECT_EQ(board(), (Strings{"5 10:00-13:00 3 見本 @200+120", "2 8:00-10:00 2 朝 @120+80"}));
        EXPECT_EQ(form->cmb1->itemText(1), QStringLiteral("自分"));
        form->spb3->click();
        EXPECT_TRUE(env().reports.empty());
        EXPECT_EQ(readPath(own + kToday),
                  sjis::fromUtf8("02\\8:00\\2\\朝\r\n05\\10:00\\3\\見本\r\n"));
        env().opened.clear();
        form->sbtn1->click();
        EXPECT_EQ(env().opened, QStringList{QString::fromStdString(own + "List1.txt")});
        // the folder with "?" in the name is as it was
        EXPECT_EQ(readPath(lossy + "smpl.dat"), sample);
        EXPECT_FALSE(std::filesystem::exists(lossy + kToday));
    }
}

TEST_F(DayFileTest, AFailingDayAtStartUpIsReportedOnceAndTheWindowCompleted) {
    writeFile("List1.txt", "山田\r\n");
    writeFile(kToday, "01\\9:00\\2\\a\r\n02\\x\\2\\b\r\n03\\9:00\\2\\c\r\n");
    reopen();
    EXPECT_EQ(reportMessages(),
              std::vector<QString>{QStringLiteral("'x' は日付または時刻ではありません.")});
    EXPECT_EQ(board(), Strings{"1 9:00-11:00 2 a @160+80"});
    // every later step ran: pool, headers, ghost, name box, width
    EXPECT_EQ(block(1)->parentWidget(), form->sg1);
    EXPECT_EQ(form->Shade1->parentWidget(), form->sg1);
    EXPECT_EQ(form->cmb1->count(), 2);
    EXPECT_EQ(str(form->LabelB->caption()), "2026/12");
    EXPECT_EQ(str(form->LabelA->caption()), "月");
    EXPECT_EQ(form->Shade1->width(), 80);
}

TEST_F(DayFileTest, CtrlSSavesWhateverHasTheFocus) {
    const std::string day = sjis::fromUtf8("05\\9:00\\2\\今日\r\n");
    writeBytes(kToday, day);
    reopen();
    const QWidget* const controls[] = {form->sg1, form->Edit1, form->cmb1, form->dtp1, form->dtp0};
    for (const QWidget* control : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        std::filesystem::remove(dataPath() + kToday);
        focus(const_cast<QWidget*>(control));
        const std::string duration = durationText();
        const int name = form->cmb1->currentIndex();
        const DateSerial start = form->dtp1->value(), shown = form->dtp0->value();
        windowKey(Qt::Key_S);
        EXPECT_EQ(readBytes(kToday), day);
        // and the key reached no control
        EXPECT_EQ(durationText(), duration);
        EXPECT_EQ(form->cmb1->currentIndex(), name);
        EXPECT_EQ(form->dtp1->value(), start);
        EXPECT_EQ(form->dtp0->value(), shown);
    }
}

// A save writes over what someone else saved since the board read the day
// only when the user says so; the other's day is then kept as a version.
// Nothing else asks: an unchanged day, one saved with these very records,
// one removed.
TEST_F(DayFileTest, ASaveOverSomeoneElsesSaveAsksFirst) {
    const std::string loaded = "01\\9:00\\2\\a\r\n", theirs = "02\\10:00\\3\\b\r\n";
    const std::string mine = "01\\9:00\\2\\a\r\n05\\13:00\\4.0\\---\r\n";
    const struct {
        const char* what;
        std::optional<std::string> onDisk; // after the load; nullopt: removed
        bool asked;
        bool overwrite; // the answer
        std::string after;
    } rows[] = {
        {"nobody saved", loaded, false, true, mine},
        {"someone saved, overwritten", theirs, true, true, mine},
        {"someone saved, cancelled", theirs, true, false, theirs},
        {"someone saved the same records", mine, false, true, mine},
        {"someone removed the day", std::nullopt, false, true, mine},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove_all(dataPath());
        writeBytes(kToday, loaded);
        reopen();
        place(40, 5, hm(13, 0), "4.0");
        if (row.onDisk)
            writeBytes(kToday, *row.onDisk);
        else
            std::filesystem::remove(dataPath() + kToday);
        env().questions.clear();
        env().overwrite = row.overwrite;
        form->spb3->click();
        EXPECT_EQ(env().questions.size(), row.asked ? 1u : 0u);
        EXPECT_EQ(readBytes(kToday), row.after);
        EXPECT_TRUE(env().reports.empty());
        if (row.asked) {
            const QString when =
                QString::fromStdString(storage::lastChangeText(dataPath() + kToday));
            EXPECT_TRUE(env().questions[0].contains(when)) << env().questions[0].toStdString();
        }
        if (row.asked && row.overwrite) {
            ASSERT_FALSE(keptVersions(dataPath() + kToday).empty());
            EXPECT_EQ(readPath(keptVersions(dataPath() + kToday).back()), theirs);
        }
        // once it is the board's, the next save asks nothing
        if (row.overwrite) {
            env().questions.clear();
            form->spb3->click();
            EXPECT_TRUE(env().questions.empty());
        }
    }
    // a save whose replaced day cannot be kept is saved, and says so
    std::filesystem::remove_all(dataPath() + ".versions");
    writeBytes(".versions", "not a folder");
    place(39, 6, hm(8, 0), "4.0");
    env().reports.clear();
    form->spb3->click();
    ASSERT_EQ(env().reports.size(), 1u);
    EXPECT_TRUE(env().reports[0].message.contains(QString::fromUtf8("以前の版として残せません")));
    EXPECT_NE(readBytes(kToday), mine);
}

// Files dropped from a file manager.
class DropTest : public StorageTest {};

TEST_F(DropTest, OneDayFileLoadsWithoutChangingTheDate) {
    writeFile("11;30月.txt", "06\\8:00\\4.0\\他\r\n");
    writeFile("plain.txt", "06\\8:00\\4.0\\他\r\n");
    writeFile("x;30月.txt", "06\\8:00\\4.0\\他\r\n");
    const std::string elsewhere = env().dir.path().toStdString() + "/\xC3\x9Cnterlagen/";
    std::filesystem::create_directories(elsewhere);
    std::ofstream(elsewhere + "11;30月.txt", std::ios::binary)
        << sjis::fromUtf8("06\\8:00\\4.0\\他\r\n");
    place(50, 1, hm(9, 0), "2");
    const Strings before = board();
    const DateSerial day = form->dtp0->value();
    const struct {
        QStringList paths;
        bool loads;
    } table[] = {
        {{path("11;30月.txt"), path("11;30月.txt")}, false}, // two files
        {{path("plain.txt")}, false},
        {{path("x;30月.txt")}, false}, // ";" not the third character
        {{path("11;30月.txt")}, true},
        // from a folder whose name Shift-JIS cannot write
        {{QString::fromStdString(elsewhere) + QStringLiteral("11;30月.txt")}, true},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.paths.join(' ').toStdString());
        drop(c.paths);
        EXPECT_EQ(board(), c.loads ? Strings{"6 8:00-12:00 4.0 他 @120+160"} : before);
        EXPECT_EQ(form->dtp0->value(), day);
    }
    // a save then copies that day to the day on show
    form->spb3->click();
    EXPECT_EQ(readBytes(kToday), sjis::fromUtf8("06\\8:00\\4.0\\他\r\n"));

    // a path that vanished in between loads as a day without a file
    drop({path("12;31木.txt")});
    EXPECT_EQ(board(), Strings{});
    EXPECT_TRUE(env().reports.empty());
}

// A day through the clipboard (Ctrl+Shift+C, Ctrl+Shift+V), loaded as a
// dropped file is.
class ClipboardTest : public StorageTest {
protected:
    static constexpr Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    static QClipboard* clipboard() { return QGuiApplication::clipboard(); }
    static std::string clipboardRecords() {
        const QMimeData* d = clipboard()->mimeData();
        return d ? d->data(QStringLiteral("application/x-kabrelo24-day")).toStdString() : "";
    }
};

// Copied from wherever the focus is, pasted on the next day, undone, redone
// and saved there: the saved file is the source's bytes. Starts as written
// ("9:00", a night's "0:15"), in the save's order ("09:30" before "0:15").
TEST_F(ClipboardTest, ADayCopiedFromAnyControlPastesAndSavesByteForByte) {
    makeData();
    reload();
    clipboard()->setText(QStringLiteral("kept"));
    windowKey(Qt::Key_C, ctrlShift);
    EXPECT_EQ(clipboard()->text(), QStringLiteral("kept")) << "an empty day is no source";
    ASSERT_EQ(reportMessages().size(), 1u);
    EXPECT_TRUE(reportMessages()[0].contains(QString::fromUtf8("ブロックがありません")));

    const std::string source =
        sjis::fromUtf8("01\\9:00\\4\\山田\r\n02\\09:30\\10.\\鈴木\r\n02\\0:15\\4.5\\佐藤\r\n");
    writeBytes(kToday, source);
    reopen();
    const Strings sourceBoard = board();
    for (QWidget* w : {static_cast<QWidget*>(form->Edit1), static_cast<QWidget*>(form->cmb1),
                       static_cast<QWidget*>(form->dtp0), static_cast<QWidget*>(form->dtp1),
                       static_cast<QWidget*>(form->sg1)}) {
        SCOPED_TRACE(w->objectName().toStdString());
        focus(w);
        clipboard()->clear();
        windowKey(Qt::Key_C, ctrlShift);
        EXPECT_EQ(clipboardRecords(), source);
        EXPECT_EQ(clipboard()->text().toStdString(), "行\t名前\t開始\t終了\t時間\n"
                                                     "1\t山田\t9:00\t13:00\t4\n"
                                                     "2\t鈴木\t09:30\t19:30\t10.\n"
                                                     "2\t佐藤\t0:15\t4:45\t4.5\n");
    }
    const DateSerial next = form->dtp0->value() + 1;
    ASSERT_TRUE(form->showDay(next));
    settle();
    const std::string emptyDay = boardView();
    windowKey(Qt::Key_V, ctrlShift);
    EXPECT_EQ(board(), sourceBoard);
    EXPECT_EQ(form->dtp0->value(), next);
    EXPECT_FALSE(exists("12;08火.txt")) << "unsaved until 保存";
    const std::string pasted = boardView();
    undo();
    EXPECT_EQ(boardView(), emptyDay);
    redo();
    EXPECT_EQ(boardView(), pasted);
    form->spb3->click();
    EXPECT_EQ(readBytes("12;08火.txt"), source);
}

// Text on the clipboard, pasted with Ctrl+Shift+V or with the boxes' own
// plain Ctrl+V, which stays theirs.
TEST_F(ClipboardTest, PastedText) {
    writeFile(kToday, "05\\8:00\\4\\他\r\n");
    reopen();
    const Strings before = board();
    const char* const rows = "3\t山田\t10:00\t\t4\r\n1\t佐藤\t8:30\t12:30\t4\r\n";
    const struct {
        const char* what;
        const char* text;
        Qt::KeyboardModifiers keys;
        Strings board;    // empty: the board stays as it was
        const char* line; // the report names it
    } table[] = {
        {"a spreadsheet's rows",
         rows,
         ctrlShift,
         {"3 10:00-14:00 4 山田 @200+160", "1 8:30-12:30 4 佐藤 @140+160"},
         nullptr},
        {"prose", "明日は休み", ctrlShift, {}, "1 行目"},
        {"full-width digits",
         "行\t名前\t開始\t終了\t時間\n１\t山田\t9:00\t\t4\n",
         ctrlShift,
         {},
         "2 行目"},
        {"plain Ctrl+V", rows, Qt::ControlModifier, {}, nullptr},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.what);
        reload();
        env().reports.clear();
        clipboard()->setText(QString::fromUtf8(c.text));
        for (QWidget* w : {static_cast<QWidget*>(form->cmb1), static_cast<QWidget*>(form->Edit1)}) {
            focus(w);
            windowKey(Qt::Key_V, c.keys);
        }
        EXPECT_EQ(board(), c.board.empty() ? before : c.board);
        const auto reports = reportMessages();
        ASSERT_EQ(reports.size(), c.line ? 2u : 0u);
        if (c.line) {
            EXPECT_TRUE(reports[0].contains(QString::fromUtf8(c.line)));
        }
    }
}

} // namespace
} // namespace kab::test
