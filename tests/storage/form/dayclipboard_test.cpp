// Ctrl+Shift+C and Ctrl+Shift+V: a day's plan through the clipboard, loaded
// as a dropped day file is.

#include "support/storage_fixture.h"

#include "toolkit/edit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace kab::test {
namespace {

using Strings = std::vector<std::string>;

const QString dayType = QStringLiteral("application/x-kabrelo24-day");

class DayClipboardTest : public StorageTest {
protected:
    void copyKey() { windowKey(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier); }
    void pasteKey() { windowKey(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier); }
    static QClipboard* clipboard() { return QGuiApplication::clipboard(); }
    static std::string clipboardRecords() {
        const QMimeData* d = clipboard()->mimeData();
        return d ? d->data(dayType).toStdString() : std::string();
    }
    static void setClipboardText(const char* utf8) {
        clipboard()->setText(QString::fromUtf8(utf8));
    }
};

// A day of starts as the file writes them (9:00, 09:30, a night's 0:15),
// copied from wherever the focus is, pasted on the next day, undone, redone
// and saved there: the saved file is the source's bytes.
TEST_F(DayClipboardTest, ADayCopiedAndPastedSavesAsTheSourceByteForByte) {
    // in the save's order: "09:30" sorts before "0:15"
    const std::string source = sjis::fromUtf8("01\\9:00\\4\\山田\r\n"
                                              "02\\09:30\\10.\\鈴木\r\n"
                                              "02\\0:15\\4.5\\佐藤\r\n");
    writeBytes(kToday, source);
    reopen();
    const Strings sourceBoard = board();
    ASSERT_EQ(sourceBoard.size(), 3u);
    for (QWidget* w : {static_cast<QWidget*>(form->Edit1), static_cast<QWidget*>(form->cmb1),
                       static_cast<QWidget*>(form->dtp0), static_cast<QWidget*>(form->dtp1),
                       static_cast<QWidget*>(form->sg1)}) {
        SCOPED_TRACE(w->objectName().toStdString());
        focus(w);
        clipboard()->clear();
        copyKey();
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
    focus(form->Edit1);
    pasteKey();
    EXPECT_EQ(board(), sourceBoard);
    EXPECT_EQ(form->dtp0->value(), next);
    EXPECT_FALSE(exists("12;08火.txt")); // unsaved until 保存
    const std::string pasted = boardView();
    undo();
    EXPECT_EQ(boardView(), emptyDay);
    redo();
    EXPECT_EQ(boardView(), pasted);
    form->spb3->click();
    EXPECT_EQ(readBytes("12;08火.txt"), source);
    EXPECT_TRUE(env().reports.empty());
}

TEST_F(DayClipboardTest, PastedText) {
    writeFile(kToday, "05\\8:00\\4\\他\r\n");
    reopen();
    const Strings before = board();
    const struct {
        const char* what;
        const char* text;
        Strings board;    // empty: the board stays as it was
        const char* line; // the report names it
    } table[] = {
        {"a spreadsheet's rows",
         "3\t山田\t10:00\t\t4\r\n1\t佐藤\t8:30\t12:30\t4\r\n",
         {"3 10:00-14:00 4 山田 @200+160", "1 8:30-12:30 4 佐藤 @140+160"},
         nullptr},
        {"prose", "明日は休み", {}, "1 行目"},
        {"full-width digits", "行\t名前\t開始\t終了\t時間\n１\t山田\t9:00\t\t4\n", {}, "2 行目"},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.what);
        reload();
        env().reports.clear();
        setClipboardText(c.text);
        focus(form->cmb1);
        pasteKey();
        EXPECT_EQ(board(), c.line ? before : c.board);
        const auto reports = reportMessages();
        ASSERT_EQ(reports.size(), c.line ? 1u : 0u);
        if (c.line) {
            EXPECT_TRUE(reports[0].contains(QString::fromUtf8(c.line)));
        }
    }
}

TEST_F(DayClipboardTest, PlainCtrlCAndCtrlVStayTheBoxesAndAnEmptyDayIsNoSource) {
    makeData();
    reload();
    clipboard()->setText(QStringLiteral("kept"));
    copyKey();
    EXPECT_EQ(clipboard()->text(), QStringLiteral("kept"));
    ASSERT_EQ(env().reports.size(), 1u);
    EXPECT_TRUE(env().reports[0].message.contains(QString::fromUtf8("ブロックがありません")));

    // plain Ctrl+C and Ctrl+V in the boxes are not the day's keys
    place(50, 1, hm(9, 0), "3");
    settle();
    const std::string placed = boardView();
    setClipboardText("2\t山田\t10:00\t\t4");
    for (QWidget* w : {static_cast<QWidget*>(form->Edit1), static_cast<QWidget*>(form->cmb1)}) {
        SCOPED_TRACE(w->objectName().toStdString());
        focus(w);
        windowKey(Qt::Key_V);
        windowKey(Qt::Key_C);
        EXPECT_EQ(boardView(), placed);
        EXPECT_EQ(clipboardRecords(), "");
    }
}

} // namespace
} // namespace kab::test
