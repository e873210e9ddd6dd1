// The month window beside a live board: Ctrl+M, the table's rows and
// headers, the board's changes and saves followed, files changed by others,
// a day opened on the board, the findings, the export and the print.

#include "report/holidays.h"
#include "support/storage_fixture.h"
#include "window/month/monthmodel.h"
#include "window/month/monthwindow.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cerrno>

namespace kab::test {
namespace {

// the spreadsheet writer linked in, as the module would hand it over
const bool kXlsxLinked = (month::MonthWindow::useXlsxWriter(&report::writeMonthXlsx), true);

using month::MonthModel;
using month::MonthWindow;

class MonthWindowTest : public StorageTest {
protected:
    void TearDown() override {
        if (form) form->history().flushRecovery();
        StorageTest::TearDown();
    }
    MonthWindow* openMonth() {
        windowKey(Qt::Key_M);
        return qobject_cast<MonthWindow*>(form->monthWindow());
    }
    // The window takes the board's steps once their paint is done.
    static void followed() { QCoreApplication::processEvents(); }
    static QString cell(MonthWindow* w, int row, int day) {
        return w->model()->index(row, day - 1).data().toString();
    }
    static QString header(MonthWindow* w, int day) {
        return w->model()->headerData(day - 1, Qt::Horizontal).toString();
    }
    static QStringList rowNames(MonthWindow* w) {
        QStringList names;
        for (int r = 0; r < w->model()->rowCount(); ++r)
            names << w->model()->headerData(r, Qt::Vertical).toString();
        return names;
    }
};

TEST_F(MonthWindowTest, CtrlMWhateverHasTheFocusOpensOneWindow) {
    const std::string before = boardView();
    QWidget* controls[] = {form->Edit1, form->cmb1, form->dtp0, form->dtp1, form->sg1};
    MonthWindow* first = nullptr;
    for (QWidget* c : controls) {
        if (first) first->hide();
        form->activateWindow();
        focus(c);
        MonthWindow* w = openMonth();
        ASSERT_NE(w, nullptr) << c->objectName().toStdString();
        EXPECT_TRUE(w->isVisible()) << c->objectName().toStdString();
        EXPECT_EQ(w->windowTitle(), QStringLiteral("月間表 2026年12月 - Kabrelo24"));
        if (!first) first = w;
        EXPECT_EQ(w, first) << "a second Ctrl+M raises the same window";
    }
    EXPECT_FALSE(first->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_TRUE(first->isWindow());
    EXPECT_EQ(boardView(), before);
    for (const QKeyCombination key : {Qt::CTRL | Qt::Key_W, QKeyCombination(Qt::Key_Escape)}) {
        first->show();
        first->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(first));
        QTest::keyClick(first->table(), key.key(), key.keyboardModifiers());
        EXPECT_FALSE(first->isVisible()) << QKeySequence(key).toString().toStdString();
    }
}

TEST_F(MonthWindowTest, RowsHeadersAndMonthSteps) {
    writeFile("List1.txt", "高橋\r\n佐藤\r\n");
    writeFile("12;05土.txt", "01\\9:00\\4.0\\鈴木\r\n02\\13:00\\2\\---\r\n");
    writeFile("11;03火.txt", "01\\9:00\\4.0\\佐藤\r\n01\\9:3O\\4.0\\佐藤\r\n");
    // the day on show damaged too: the board holds its first line
    writeFile(kToday, "01\\8:00\\2.0\\高橋\r\n0x\\9:00\\4.0\\高橋\r\n");
    tk::guarded([&] { form->dtp0->onChange(form->dtp0); }); // as the day picker loads it
    MonthWindow* w = openMonth();
    ASSERT_NE(w, nullptr);
    QAbstractItemModelTester tester(w->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(rowNames(w),
              (QStringList{"高橋", "佐藤", "鈴木 (名簿外)", "(名前なし)", "人数", "時間"}));
    EXPECT_EQ(cell(w, 2, 5), "9:00-13:00");
    EXPECT_EQ(cell(w, 3, 5), "13:00-15:00");
    EXPECT_EQ(w->model()->index(4, 4).data().toString(), "1");
    EXPECT_EQ(w->model()->index(5, 32).data().toString(), "8.00");
    EXPECT_EQ(header(w, 5), "5\n土");
    EXPECT_EQ(header(w, 7), "7\n月\n破損");
    EXPECT_EQ(cell(w, 0, 7), "8:00-10:00");
    EXPECT_EQ(w->model()->headerData(4, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
              QColor(0, 0, 200));
    EXPECT_EQ(w->model()->headerData(5, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
              QColor(200, 0, 0));
    EXPECT_FALSE(w->model()->headerData(6, Qt::Horizontal, Qt::ForegroundRole).isValid());
    // November: a holiday, a damaged day, its readable lines shown
    w->stepMonth(-1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("月間表 2026年11月 - Kabrelo24"));
    EXPECT_EQ(w->model()->headerData(2, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
              QColor(200, 0, 0));
    EXPECT_EQ(header(w, 3), "3\n火\n破損");
    const QString tip = w->model()->headerData(2, Qt::Horizontal, Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains("文化の日") && tip.contains("11;03火.txt: 2 行目"))
        << tip.toStdString();
    EXPECT_EQ(cell(w, 1, 3), "9:00-13:00");
    // any month, the board's reach or not
    w->stepMonth(30);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("月間表 2029年5月 - Kabrelo24"));
    EXPECT_EQ(header(w, 3), "3\n木");
}

TEST_F(MonthWindowTest, FollowsTheBoardItsSavesAndOtherUsers) {
    makeData();
    MonthWindow* w = openMonth();
    ASSERT_NE(w, nullptr);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QAbstractItemModelTester tester(w->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    place(1, 3, hm(9, 0), "4.0");
    block(1)->setCaption(sjis::fromUtf8("田中"));
    settle();
    followed();
    const int tanaka = static_cast<int>(rowNames(w).indexOf("田中 (名簿外)"));
    ASSERT_GE(tanaka, 0) << rowNames(w).join(",").toStdString();
    EXPECT_EQ(cell(w, tanaka, 7), "9:00-13:00");
    EXPECT_EQ(header(w, 7), "7\n月\n未保存");
    // a wheel step on the board is one more step, seen at once
    focus(form->Edit1);
    wheel(form->Edit1, true);
    EXPECT_EQ(cell(w, tanaka, 7), "9:00-13:00") << "not before the board's paint";
    followed();
    EXPECT_EQ(cell(w, tanaka, 7), "9:00-13:15");
    windowKey(Qt::Key_S);
    followed();
    EXPECT_EQ(header(w, 7), "7\n月");
    undo();
    followed();
    EXPECT_EQ(cell(w, tanaka, 7), "9:00-13:00");
    EXPECT_EQ(header(w, 7), "7\n月\n未保存");
    EXPECT_EQ(w->model()->index(w->model()->rowCount() - 1, 6).data().toString(), "4.00");
    // another user's save of another day
    writeFile("12;09水.txt", "01\\10:00\\2.0\\田中\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell(w, tanaka, 9) == "10:00-12:00"; }, 5000));
}

TEST_F(MonthWindowTest, EnterOnACellMovesTheBoardOnce) {
    MonthWindow* w = openMonth();
    ASSERT_NE(w, nullptr);
    w->show();
    w->activateWindow();
    // today is 7 December 2026: October to February are within reach
    const struct {
        int stepMonths, day;
        bool moves;
    } cases[] = {
        {0, 9, true}, {0, 9, true}, {2, 3, true}, {-2, 31, true}, {3, 1, false}, {-3, 30, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.stepMonths) + "/" + std::to_string(c.day));
        w->setMonth({2026, 12});
        w->stepMonth(c.stepMonths);
        const std::string before = boardView();
        const std::size_t undoable = form->history().undoable();
        w->table()->setFocus();
        w->table()->setCurrentIndex(w->model()->index(0, c.day - 1));
        QTest::keyClick(w->table(), Qt::Key_Return);
        if (!c.moves) {
            EXPECT_EQ(boardView(), before);
            EXPECT_TRUE(w->status()->text().contains("外")) << w->status()->text().toStdString();
            continue;
        }
        EXPECT_TRUE(w->status()->text().isEmpty());
        EXPECT_EQ(form->dtp0->text().toStdString(), std::to_string(c.day));
        EXPECT_EQ(decodeDate(form->currentMonth()).month,
                  decodeDate(w->model()->dateOf(w->model()->index(0, 0))).month);
        if (boardView() == before) continue; // the day already on show
        EXPECT_EQ(form->history().undoable(), undoable + 1);
        undo();
        EXPECT_EQ(boardView(), before);
        redo();
    }
}

// Work left unsaved on two days outlives the board; the next start tells
// the desktop once, the month window marks the days and 復元 brings another
// day's board back as a drop would, one undo away. A day saved after its
// work was left says so.
TEST_F(MonthWindowTest, WorkLeftUnsavedIsToldMarkedAndRestored) {
    writeFile("12;09水.txt", "01\\10:00\\2.0\\田中\r\n");
    const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(dataPath() + "12;09水.txt", hourAgo);
    reopen();
    EXPECT_TRUE(env().notified.isEmpty()) << "nothing left unsaved, nothing told";
    // the 9th and today changed and left unsaved
    ASSERT_TRUE(form->showDay(encodeDate(2026, 12, 9)));
    // (the day file's record took block 50)
    place(49, 4, hm(13, 0), "3.0");
    block(49)->setCaption(sjis::fromUtf8("鈴木"));
    settle();
    const auto ninth = board();
    ASSERT_EQ(ninth.size(), 2u);
    ASSERT_TRUE(form->showDay(encodeDate(2026, 12, 7)));
    place(45, 2, hm(8, 0), "2.0");
    settle();
    form->history().flushRecovery();
    reopen();
    ASSERT_EQ(env().notified.size(), 2);
    EXPECT_EQ(env().notified[0], "未保存の作業があります");
    EXPECT_TRUE(env().notified[1].startsWith("12月7日(月)\n12月9日(水)\n"))
        << env().notified[1].toStdString();

    MonthWindow* w = openMonth();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(header(w, 9), "9\n水\n未保存");
    EXPECT_EQ(header(w, 8), "8\n火");
    EXPECT_TRUE(w->restoreButton()->isVisibleTo(w));
    w->table()->setCurrentIndex(w->model()->index(0, 8 - 1));
    EXPECT_FALSE(w->restoreButton()->isEnabled());
    w->table()->setCurrentIndex(w->model()->index(0, 9 - 1));
    ASSERT_TRUE(w->restoreButton()->isEnabled());
    w->restoreButton()->click();
    EXPECT_EQ(form->dtp0->text(), "9");
    EXPECT_EQ(board(), ninth);
    EXPECT_EQ(readBytes("12;09水.txt"), sjis::fromUtf8("01\\10:00\\2.0\\田中\r\n"))
        << "nothing saved";
    undo();
    EXPECT_EQ(form->dtp0->text(), "9");
    EXPECT_EQ(board(), std::vector<std::string>{"1 10:00-12:00 2.0 田中 @200+80"});
    redo();
    EXPECT_EQ(board(), ninth);

    // someone saves the 9th after the work was left: the work is the older
    form->history().flushRecovery();
    form.reset();
    writeFile("12;09水.txt", "01\\11:00\\2.0\\田中\r\n");
    // later by the file system's clock, which may give both files the same tick
    std::filesystem::last_write_time(dataPath() + "12;09水.txt",
                                     std::filesystem::file_time_type::clock::now() +
                                         std::chrono::seconds(1));
    env().notified.clear();
    reopen();
    ASSERT_EQ(env().notified.size(), 2);
    EXPECT_TRUE(env().notified[1].contains("12月9日(水) (その後"))
        << env().notified[1].toStdString();
    w = openMonth();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(header(w, 9), "9\n水\n未保存(古)");
}

TEST_F(MonthWindowTest, FindingsMarkedListedAndSelected) {
    writeFile("12;08火.txt",
              "01\\9:00\\4.0\\鈴木\r\n02\\12:00\\3.0\\鈴木\r\n03\\13:00\\2.0\\佐藤\r\n");
    MonthWindow* w = openMonth();
    ASSERT_NE(w, nullptr);
    const int suzuki = static_cast<int>(rowNames(w).indexOf("鈴木 (名簿外)"));
    ASSERT_GE(suzuki, 0);
    const QModelIndex marked = w->model()->index(suzuki, 7);
    EXPECT_TRUE(marked.data(MonthModel::FindingRole).toBool());
    EXPECT_TRUE(marked.data(Qt::ToolTipRole).toString().startsWith("二重予約: 1行目 9:00-13:00"));
    EXPECT_EQ(marked.data(Qt::AccessibleDescriptionRole), marked.data(Qt::ToolTipRole));
    EXPECT_FALSE(w->model()->index(suzuki, 6).data(MonthModel::FindingRole).toBool());
    ASSERT_EQ(w->findingsList()->count(), 1);
    EXPECT_TRUE(w->findingsList()->item(0)->text().startsWith("12月8日 鈴木  二重予約"));
    emit w->findingsList()->itemClicked(w->findingsList()->item(0));
    EXPECT_EQ(w->table()->currentIndex(), marked);
}

TEST_F(MonthWindowTest, ExportAndPrint) {
    writeFile("12;08火.txt", "01\\9:00\\4.0\\鈴木\r\n");
    MonthWindow* w = openMonth();
    ASSERT_NE(w, nullptr);
    QTemporaryDir out;
    const struct {
        const char* name;
        QByteArray head;
    } files[] = {{"m.csv", "\xEF\xBB\xBF名前,1(火)"}, {"m.xlsx", "PK"}};
    for (const auto& f : files) {
        env().saveFile = out.filePath(f.name);
        auto* button = w->findChild<QPushButton*>("exportButton");
        ASSERT_NE(button, nullptr);
        button->click();
        QFile written(env().saveFile);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << f.name;
        EXPECT_TRUE(written.readAll().startsWith(f.head)) << f.name;
        EXPECT_TRUE(w->status()->text().startsWith("書き出しました")) << f.name;
    }
    EXPECT_TRUE(w->exportTo(out.filePath("none/m.csv")).has_value());
    env().printToFile = out.filePath("m.pdf");
    QTest::keyClick(w->table(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(env().printDialogs, 1);
    QFile pdf(env().printToFile);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
}

// A week copied by its headers onto the next week, asked about once for the
// planned day it writes over, then taken back file by file.
TEST_F(MonthWindowTest, AWeekPastedOntoTheNextAndTakenBack) {
    const char* week1[] = {"12;14月.txt", "12;15火.txt", "12;16水.txt", "12;17木.txt",
                           "12;18金.txt", "12;19土.txt", "12;20日.txt"};
    const char* week2[] = {"12;21月.txt", "12;22火.txt", "12;23水.txt", "12;24木.txt",
                           "12;25金.txt", "12;26土.txt", "12;27日.txt"};
    for (int i = 0; i < 7; ++i)
        writeFile(week1[i], "0" + std::to_string(i + 1) + "\\9:00\\4\\山田\r\n");
    writeFile(week2[0], "03\\10:00\\2\\佐藤\r\n"); // planned
    writeBytes(week2[1], "");                      // a file without a block
    const auto files = [&](const char* const(&names)[7]) {
        std::vector<std::string> out;
        for (const char* n : names)
            out.push_back(exists(n) ? readBytes(n) : "(none)");
        return out;
    };
    const std::vector<std::string> sources = files(week1), before = files(week2);
    MonthWindow* w = openMonth();
    ASSERT_NE(w, nullptr);
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QHeaderView* headers = w->table()->horizontalHeader();
    const auto clickDay = [&](int day, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(headers->viewport(), Qt::LeftButton, mods,
                          QPoint(headers->sectionViewportPosition(day - 1) + 4, 4));
    };
    const auto key = [&](Qt::Key k) {
        w->table()->setFocus();
        QTest::keyClick(w->table(), k, Qt::ControlModifier);
    };

    // a day without a block is no source
    clickDay(13);
    clickDay(14, Qt::ShiftModifier);
    key(Qt::Key_C);
    ASSERT_EQ(reportMessages().size(), 1u);
    EXPECT_TRUE(reportMessages()[0].contains("12月13日"));
    env().reports.clear();

    clickDay(14);
    clickDay(20, Qt::ShiftModifier);
    EXPECT_EQ(w->chosenDays().second - w->chosenDays().first, 6);
    key(Qt::Key_C);
    clickDay(21);
    env().overwrite = false;
    key(Qt::Key_V);
    ASSERT_EQ(env().questions.size(), 1u);
    EXPECT_TRUE(env().questions[0].contains("12月21日"));
    EXPECT_FALSE(env().questions[0].contains("12月22日"));
    EXPECT_EQ(files(week2), before) << "キャンセル writes nothing";

    env().overwrite = true;
    key(Qt::Key_V);
    EXPECT_EQ(files(week2), sources);
    key(Qt::Key_Z);
    EXPECT_EQ(files(week2), before);

    // a day changed after the paste is left as it is, and named
    key(Qt::Key_V);
    writeFile(week2[3], "08\\6:00\\2\\他\r\n");
    std::vector<std::string> want = before;
    want[3] = readBytes(week2[3]);
    key(Qt::Key_Z);
    EXPECT_EQ(files(week2), want);
    EXPECT_TRUE(w->status()->text().contains("12月24日")) << w->status()->text().toStdString();
    EXPECT_TRUE(env().reports.empty());

    // a day that cannot be written is reported, the others stay written;
    // Ctrl+Z still takes them back once no day is chosen
    int writes = 0;
    FileWriteHooks full;
    full.beforeRename = [&] {
        if (++writes == 3) throw fileCreateError(dataPath() + week2[2], ENOSPC);
    };
    env().saveHooks = &full;
    key(Qt::Key_V);
    env().saveHooks = nullptr;
    ASSERT_EQ(reportMessages().size(), 1u);
    EXPECT_TRUE(reportMessages()[0].contains("12月23日"));
    std::vector<std::string> partly = sources;
    partly[2] = want[2];
    EXPECT_EQ(files(week2), partly);
    w->chooseDay(-1, false); // as a click on a cell
    key(Qt::Key_Z);
    EXPECT_EQ(files(week2), want);

    // the day on show is loaded onto the board, unsaved, not written
    clickDay(14);
    key(Qt::Key_C);
    clickDay(7);
    key(Qt::Key_V);
    EXPECT_EQ(board(), std::vector<std::string>{"1 9:00-13:00 4 山田 @160+160"});
    EXPECT_FALSE(exists(kToday));
    form->history().undo(); // one step on the board
    EXPECT_EQ(board(), std::vector<std::string>{});
}

} // namespace
} // namespace kab::test
