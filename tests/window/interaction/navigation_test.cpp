// Moving between months and days: the month window around today, the day
// picker, the weekday and month labels, and the reload that every change
// brings.

#include "support/storage_fixture.h"

#include "storage/recovery.h"

#include <QLineEdit>
#include <functional>

namespace kab::test {
namespace {

class NavigationTest : public StorageTest {
protected:
    // The window opened on another day than the fixture's.
    void openOn(int y, int m, int d) {
        env().todayValue = encodeDate(y, m, d);
        reopen();
    }
    void back() { form->spb1->click(); }
    void forward() { form->spb2->click(); }
    std::string month() const { return str(form->LabelB->caption()); }
    DateSerial day() const { return form->dtp0->value(); }

    // Block n a quarter of an hour longer, as the user makes it: pressed on
    // its lower right half, so that the duration box takes the focus, and
    // one wheel notch.
    void lengthen(int n) {
        QTest::mousePress(form->Label(n), Qt::LeftButton, {}, {60, 25});
        QTest::mouseRelease(form->Label(n), Qt::LeftButton, {}, {60, 25});
        wheel(form->sg1, true);
    }
    // The recovery file of a day once it is written, or "(none)".
    std::string recovery(const std::string& day) {
        form->history().flushRecovery();
        const std::string file = storage::recoveryFolder(dataPath()) + day;
        return std::filesystem::exists(file) ? readPath(file) : "(none)";
    }
    // A recovery file left by an earlier run, once the window's own writes
    // are done.
    void plantRecovery(const std::string& day, const std::string& bytes) {
        form->history().flushRecovery();
        makeData();
        storage::writeRecoveryFile(storage::recoveryFolder(dataPath()) + day, bytes);
    }
    // Its records: what a drop loads, up to the empty line.
    static std::string records(const std::string& recovery) {
        const auto end = recovery.find("\r\n\r\n");
        return end == std::string::npos ? "(no empty line)" : recovery.substr(0, end + 2);
    }
};

TEST_F(NavigationTest, StartUpShowsTodayAndThisMonthInBlue) {
    EXPECT_EQ(month(), "2026/12");
    EXPECT_EQ(form->LabelB->textColor(), QColor(0, 0, 255));
    EXPECT_EQ(day(), encodeDate(2026, 12, 7));
    EXPECT_EQ(form->dtp0->text(), QStringLiteral("7"));
    EXPECT_EQ(str(form->LabelA->caption()), "月");
    EXPECT_EQ(form->LabelA->parentWidget(), form->dtp0);
    EXPECT_EQ(form->currentMonth(), encodeDate(2026, 12, 1));
    EXPECT_EQ(form->dtp0->minDate(), encodeDate(2026, 12, 7) - 180);
    EXPECT_EQ(form->dtp0->maxDate(), encodeDate(2026, 12, 7) + 92);
}

TEST_F(NavigationTest, TheMonthWindowAroundToday) {
    const struct {
        int y, m, d;        // today
        const char* clicks; // '<' or '>'
        std::vector<const char*> months;
    } table[] = {
        {2026, 12, 7, "<<<", {"2026/11", "2026/10", "2026/10"}},
        {2026,
         12,
         7,
         "<<<>>>>>>",
         {"2026/11", "2026/10", "2026/10", "2026/11", "2026/12", "2027/01", "2027/02", "2027/02",
          "2027/02"}},
        {2026, 12, 1, ">>>", {"2027/01", "2027/01", "2027/01"}},
        {2026, 3, 31, "<<<", {"2026/02", "2026/01", "2026/01"}},
        {2026, 3, 31, ">>>", {"2026/04", "2026/05", "2026/05"}},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d << " " << c.clicks);
        openOn(c.y, c.m, c.d);
        const std::string thisMonth = month();
        for (std::size_t i = 0; c.clicks[i]; ++i) {
            SCOPED_TRACE(i);
            c.clicks[i] == '<' ? back() : forward();
            EXPECT_EQ(month(), c.months[i]);
            // day 1 of the month on show, also after a refused step
            const Date d = decodeDate(day());
            EXPECT_EQ(d.day, 1);
            EXPECT_EQ(str(formatDateTime("yyyy/mm", day())), c.months[i]);
            EXPECT_EQ(form->currentMonth(), day());
            EXPECT_EQ(form->LabelB->textColor(),
                      month() == thisMonth ? QColor(0, 0, 255) : QColor(0, 0, 128));
        }
    }
}

TEST_F(NavigationTest, EveryStepReloadsAndUnsavedChangesAreDropped) {
    writeFile("12;01火.txt", "02\\10:00\\3\\初日\r\n");
    writeFile("01;01金.txt", "07\\8:00\\4.0\\元日\r\n");
    back();    // to 2026/11, day 1
    forward(); // back to 2026/12, day 1
    EXPECT_EQ(board(), std::vector<std::string>{"2 10:00-13:00 3 初日 @200+120"});
    EXPECT_EQ(str(form->LabelA->caption()), "火");
    // a block moved and edited, then a step on without saving
    place(50, 5, hm(15, 0), "2");
    forward();
    EXPECT_EQ(board(), std::vector<std::string>{"7 8:00-12:00 4.0 元日 @120+160"});
    back();
    EXPECT_EQ(board(), std::vector<std::string>{"2 10:00-13:00 3 初日 @200+120"});
    EXPECT_EQ(form->currentBlock(), nullptr);
    // right after a day change the wheel changes no block
    focus(form->Edit1);
    const std::string before = durationText();
    wheel(form->sg1, true);
    EXPECT_EQ(durationText(), before);
    EXPECT_EQ(board(), std::vector<std::string>{"2 10:00-13:00 3 初日 @200+120"});
}

TEST_F(NavigationTest, TheDayPickerWrapsWithinTheMonth) {
    writeFile("12;01火.txt", "03\\9:00\\2\\一日\r\n");
    form->dtp0->setValue(encodeDate(2026, 12, 31));
    // the weekday label gives the focus to the day picker
    QTest::mouseClick(form->LabelA, Qt::LeftButton, {}, {5, 5});
    ASSERT_TRUE(form->dtp0->hasFocus());
    wheel(form->sg1, true);
    EXPECT_EQ(day(), encodeDate(2026, 12, 1));
    EXPECT_EQ(form->dtp0->text(), QStringLiteral("1"));
    EXPECT_EQ(str(form->LabelA->caption()), "火");
    EXPECT_EQ(board(), std::vector<std::string>{"3 9:00-11:00 2 一日 @160+80"});
    // the arrow keys step it as the user's own change
    QTest::keyClick(form->dtp0, Qt::Key_Down);
    EXPECT_EQ(day(), encodeDate(2026, 12, 31));
    EXPECT_EQ(str(form->LabelA->caption()), "木");
    EXPECT_EQ(board(), std::vector<std::string>{});
}

TEST_F(NavigationTest, ATypedDayNumberSetsThatDayHoweverThePickerIsEntered) {
    writeFile("12;15火.txt", "04\\10:00\\2.5\\a\r\n");
    const struct {
        const char* how;
        std::function<void()> enter;
    } table[] = {
        {"Tab from the name box",
         [this] {
             focus(form->cmb1);
             QTest::keyClick(form->cmb1, Qt::Key_Tab);
         }},
        {"click on its text",
         [this] {
             auto* text = form->dtp0->findChild<QLineEdit*>();
             QTest::mouseClick(text, Qt::LeftButton, {}, {4, text->height() / 2});
         }},
        {"click on the weekday label", [this] { QTest::mouseClick(form->LabelA, Qt::LeftButton); }},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.how);
        reopen();
        focus(form->sg1);
        c.enter();
        ASSERT_TRUE(form->dtp0->hasFocus());
        QTest::keyClicks(form->dtp0, "15");
        EXPECT_EQ(day(), encodeDate(2026, 12, 15));
        EXPECT_EQ(str(form->LabelA->caption()), "火");
        EXPECT_EQ(board(), std::vector<std::string>{"4 10:00-12:30 2.5 a @200+100"});
    }
}

TEST_F(NavigationTest, AMonthTheDayPickerCannotShowIsRefused) {
    // opened on 7 December 2026: the picker reaches 9 March 2027 at most
    env().todayValue = encodeDate(2027, 2, 20); // the program kept running
    const char* const months[] = {"2027/01", "2027/02", "2027/03", "2027/03"};
    for (const char* m : months) {
        forward();
        EXPECT_EQ(month(), m);
        EXPECT_EQ(day(), form->currentMonth());
    }
    EXPECT_TRUE(env().reports.empty());
}

TEST_F(NavigationTest, AFailingDayStillShowsItsMonth) {
    writeFile("01;01金.txt", "01\\9:00\\2\\a\r\n02\\bad\\2\\b\r\n");
    forward();
    EXPECT_EQ(env().reports.size(), 1u);
    EXPECT_EQ(month(), "2027/01");
    EXPECT_EQ(day(), encodeDate(2027, 1, 1));
    EXPECT_EQ(board(), std::vector<std::string>{"1 9:00-11:00 2 a @160+80"});
}

TEST_F(NavigationTest, ADayLeftComesBackWithItsUnsavedBoard) {
    writeFile("12;01火.txt", "02\\10:00\\3\\初日\r\n");
    const std::string onFile = sjis::fromUtf8("05\\9:00\\2\\今日\r\n");
    const std::string unsaved = sjis::fromUtf8("05\\09:00\\2.25\\今日\r\n");
    const struct {
        const char* what;
        std::function<void()> leave;
        std::string kept;   // the records of today's recovery file afterwards
        std::string looked; // the day arrived at, which gets no recovery file
    } ways[] = {
        {"the next month", [&] { forward(); }, unsaved, "01;01金.txt"},
        {"the month before", [&] { back(); }, unsaved, "11;01日.txt"},
        {"a day typed",
         [&] {
             focus(form->dtp0);
             QTest::keyClicks(form->dtp0, "1");
         },
         unsaved, "12;01火.txt"},
        {"the wheel on the day picker",
         [&] {
             focus(form->dtp0);
             wheel(form->sg1, false);
         },
         unsaved, "12;06日.txt"},
        // the handlers called by other code than the controls' own
        {"the month handler called directly", [&] { form->spb1Click(form->spb2); }, unsaved,
         "01;01金.txt"},
        {"the day handler called directly",
         [&] {
             form->dtp0->setValue(encodeDate(2026, 12, 1));
             form->dtp0Change();
         },
         unsaved, "12;01火.txt"},
        {"the same day loaded again", [&] { form->dtp0Change(); }, unsaved, ""},
        // the day stays: its board is now the dropped one
        {"a day file dropped", [&] { drop({path("12;01火.txt")}); },
         sjis::fromUtf8("02\\10:00\\3\\初日\r\n"), ""},
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.what);
        writeBytes(kToday, onFile);
        reopen();
        lengthen(50);
        const std::string changed = boardView();
        EXPECT_EQ(records(recovery(kToday)), unsaved);
        w.leave();
        settle(); // as the event loop does when it falls idle
        const std::string left = boardView();
        ASSERT_NE(left, changed);
        EXPECT_EQ(records(recovery(kToday)), w.kept);
        if (!w.looked.empty()) {
            EXPECT_EQ(recovery(w.looked), "(none)");
        }
        undo();
        EXPECT_EQ(boardView(), changed); // its date, month label, weekday and blocks
        EXPECT_EQ(form->currentBlock(), nullptr);
        redo();
        EXPECT_EQ(boardView(), left);
        undo();
        EXPECT_EQ(boardView(), changed);
        EXPECT_EQ(records(recovery(kToday)), unsaved);
        if (!w.looked.empty()) {
            EXPECT_EQ(recovery(w.looked), "(none)");
        }
        // what a save now writes, and nothing is left to recover
        focus(form->sg1);
        windowKey(Qt::Key_S);
        EXPECT_EQ(readBytes(kToday), unsaved);
        EXPECT_EQ(recovery(kToday), "(none)");
    }

    // Left and loaded again, then changed: the board left keeps its own file
    // and the new one takes another beside it.
    writeBytes(kToday, onFile);
    reopen();
    lengthen(50);
    focus(form->dtp0);
    wheel(form->sg1, false);
    wheel(form->sg1, true);
    ASSERT_EQ(day(), encodeDate(2026, 12, 7));
    ASSERT_EQ(board(), std::vector<std::string>{"5 9:00-11:00 2 今日 @160+80"});
    lengthen(50);
    lengthen(50);
    EXPECT_EQ(records(recovery(kToday)), unsaved);
    EXPECT_EQ(records(recovery(kToday + std::string(".2"))),
              sjis::fromUtf8("05\\09:00\\2.5\\今日\r\n"));

    // A refused step loads day 1 of the month on show again: the board left
    // is kept all the same.
    writeFile("10;01木.txt", "03\\8:00\\2\\十月\r\n");
    back();
    back();
    lengthen(50);
    const std::string changed = boardView();
    back();
    ASSERT_EQ(month(), "2026/10");
    ASSERT_NE(boardView(), changed);
    EXPECT_EQ(records(recovery("10;01木.txt")), sjis::fromUtf8("03\\08:00\\2.25\\十月\r\n"));
    undo();
    EXPECT_EQ(boardView(), changed);
}

TEST_F(NavigationTest, TheBoardLeftUnsavedIsTheStepBeforeTheNextStart) {
    const std::string onFile = sjis::fromUtf8("05\\9:00\\2\\今日\r\n");
    const std::vector<std::string> shownOnFile{"5 9:00-11:00 2 今日 @160+80"};
    writeBytes(kToday, onFile);
    reopen();
    lengthen(50);
    const std::string unsaved = boardView();
    reopen(); // the window closed, the program started again
    const std::string whole = recovery(kToday);
    ASSERT_EQ(records(whole), sjis::fromUtf8("05\\09:00\\2.25\\今日\r\n"));
    std::string edited = whole;
    edited.replace(edited.find("2.25"), 4, "3");
    const struct {
        const char* what;
        std::string bytes;
        bool offered;
    } files[] = {
        {"whole", whole, true},
        {"cut short", whole.substr(0, whole.size() - 3), false},
        {"its records edited", edited, false},
        {"a day file", onFile, false},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.what);
        plantRecovery(kToday, f.bytes);
        reopen();
        EXPECT_EQ(board(), shownOnFile) << "the start shows the day file";
        undo();
        if (f.offered) {
            EXPECT_EQ(boardView(), unsaved);
            EXPECT_EQ(form->currentBlock(), nullptr);
            redo();
        }
        EXPECT_EQ(board(), shownOnFile);
        EXPECT_EQ(readBytes(kToday), onFile) << "nothing saved";
    }

    // A board changed and saved after the start keeps the crashed board's
    // file, and the next start offers it still.
    plantRecovery(kToday, whole);
    reopen();
    lengthen(50);
    lengthen(50);
    form->spb3->click();
    EXPECT_EQ(readBytes(kToday), sjis::fromUtf8("05\\09:00\\2.5\\今日\r\n"));
    EXPECT_EQ(recovery(kToday), whole);
    reopen();
    undo();
    EXPECT_EQ(boardView(), unsaved);
    writeBytes(kToday, onFile);

    // dropped onto the window, a recovery file loads as a day file, and a
    // save puts its records back
    plantRecovery(kToday, whole);
    reopen();
    drop({QString::fromStdString(storage::recoveryFolder(dataPath()) + kToday)});
    EXPECT_EQ(board(), std::vector<std::string>{"5 9:00-11:15 2.25 今日 @160+90"});
    form->spb3->click();
    EXPECT_EQ(readBytes(kToday), sjis::fromUtf8("05\\09:00\\2.25\\今日\r\n"));
    EXPECT_EQ(recovery(kToday), "(none)");
}

// The staff list fills the name box at start-up; its button opens it.
class StaffListTest : public StorageTest {};

TEST_F(StaffListTest, NamesComeFromTheListWhateverTheCaseOfItsName) {
    const struct {
        const char* file;
        std::string bytes;
        QStringList items;
    } table[] = {
        {nullptr, "", {"---"}},
        {"List1.txt", sjis::fromUtf8("山田\r\n佐藤\r\n鈴木\r\n"), {"---", "山田", "佐藤", "鈴木"}},
        {"list1.TXT", sjis::fromUtf8("高橋\r\n\r\n高橋\r\n"), {"---", "高橋", "", "高橋"}},
        // as a modern editor saves it
        {"List1.txt", "\xEF\xBB\xBF山田\r\n佐藤\r\n", {"---", "山田", "佐藤"}},
        {"List1.txt", "山田\n鈴木\n", {"---", "山田", "鈴木"}},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.file ? c.file : "no list");
        QDir(QString::fromStdString(dataPath())).removeRecursively();
        makeData();
        if (c.file) writeBytes(c.file, c.bytes);
        reopen();
        QStringList items;
        for (int i = 0; i < form->cmb1->count(); ++i)
            items << form->cmb1->itemText(i);
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(form->cmb1->currentIndex(), 0);
        env().opened.clear();
        form->sbtn1->click();
        const QString name = QString::fromUtf8(c.file ? c.file : "List1.txt");
        EXPECT_EQ(env().opened, QStringList{QString::fromStdString(dataPath()) + name});
    }
}

// A list edited while the board runs reaches the name box; a block keeps
// the name it was given. 職員 without a program to open the list says so.
TEST_F(StaffListTest, AListChangedOnDiskIsReadAgain) {
    writeBytes("List1.txt", sjis::fromUtf8("佐藤\r\n伊藤\r\n"));
    reopen();
    place(50, 2, hm(9, 0), "4.0");
    form->cmb1->setCurrentIndex(2);
    EXPECT_EQ(str(block(50)->caption()), "伊藤");
    const auto items = [this] {
        QStringList all;
        for (int i = 0; i < form->cmb1->count(); ++i)
            all << form->cmb1->itemText(i);
        return all;
    };
    // saved by an editor that writes a new file and renames it over the list
    const auto save = [](const std::string& bytes) {
        writeBytes("List1.txt~", bytes);
        std::filesystem::rename(dataPath() + "List1.txt~", dataPath() + "List1.txt");
    };
    save("\xEF\xBB\xBF田中\n伊藤\n山田\n");
    QTRY_COMPARE(items(), (QStringList{"---", "田中", "伊藤", "山田"}));
    EXPECT_EQ(form->cmb1->currentIndex(), 2);
    save(sjis::fromUtf8("田中\r\n"));
    QTRY_COMPARE(items(), (QStringList{"---", "田中"}));
    EXPECT_EQ(form->cmb1->currentIndex(), 0);
    EXPECT_EQ(str(block(50)->caption()), "伊藤");
    EXPECT_EQ(board(), std::vector<std::string>{"2 9:00-13:00 4.0 伊藤 @160+160"});
    EXPECT_TRUE(env().reports.empty());

    env().openFails = QStringLiteral("no editor");
    form->sbtn1->click();
    ASSERT_EQ(env().reports.size(), 1u);
    EXPECT_TRUE(env().reports[0].message.contains(QStringLiteral("List1.txt")));
    EXPECT_TRUE(env().reports[0].message.contains(QStringLiteral("no editor")));
}

TEST_F(StaffListTest, ANameIsKeptAsTheListHasIt) {
    writeBytes("List1.txt", "\x81\xff\xfd\r\n");
    reopen();
    place(50, 2, hm(9, 0), "4.0");
    focus(form->cmb1);
    QTest::keyClick(form->cmb1, Qt::Key_Down);
    EXPECT_EQ(block(50)->caption(), "\x81\xff\xfd");
    form->spb3->click();
    EXPECT_EQ(readBytes(kToday), "02\\09:00\\4.0\\\x81\xff\xfd\r\n");
    // a later change of the file shows only at the next start
    writeFile("List1.txt", "新\r\n");
    EXPECT_EQ(form->cmb1->count(), 2);
}

} // namespace
} // namespace kab::test
