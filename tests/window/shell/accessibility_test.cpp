// The board's texts as a screen reader reads them from the window, without an
// X server: the block, its labels, the month and weekday labels and the
// editor, after the load and after changes.

#include "support/storage_fixture.h"

#include <QAccessible>
#include <QTest>

namespace kab::test {
namespace {

class AccessibilityTest : public StorageTest {
protected:
    static QString nameOf(QObject* o) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
        return i ? i->text(QAccessible::Name) : QStringLiteral("<no interface>");
    }
    static QString descriptionOf(QObject* o) {
        return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Description);
    }
    static QString valueOf(QObject* o) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
        QAccessibleTextInterface* t = i ? i->textInterface() : nullptr;
        return t ? t->text(0, t->characterCount()) : QStringLiteral("<no text>");
    }
    void expectNames(const std::vector<std::pair<QObject*, const char*>>& table) {
        for (const auto& [o, name] : table) {
            SCOPED_TRACE(o->objectName().toStdString());
            EXPECT_EQ(nameOf(o), QString::fromUtf8(name));
        }
    }
};

TEST_F(AccessibilityTest, ALoadedDayReadsAsItShows) {
    writeFile(kToday, "02\\9:00\\4.0\\鈴木\r\n");
    reopen();
    expectNames({
        {block(50), "鈴木"},
        {form->Label(50), "9:00 13:00"},
        {form->Label(100), "4.0"},
        {block(49), "---"},
        {form->Label(49), ""},
        {form->LabelB, "2026/12"},
        {form->LabelA, "月"},
        {form->spb3, "保存"},
        {form->sbtn1, "職員"},
        // the editor's controls, by what they hold
        {form->cmb1, "名前"},
        {form->cmb1->lineEdit(), "名前"},
        {form->dtp1, "開始"},
        {form->dtp2, "終了"},
        {form->Edit1, "時間数"},
        {form->dtp0, "日"},
    });
    EXPECT_EQ(descriptionOf(block(50)), QStringLiteral("2行目、9:00から13:00まで、4.0時間"));
    EXPECT_EQ(descriptionOf(block(49)), QStringLiteral("待機中"));
    // the editor's own boxes carry their values as text
    EXPECT_EQ(valueOf(form->Edit1), QStringLiteral("4.0"));
    EXPECT_EQ(valueOf(form->dtp1), QStringLiteral("9:00"));
    EXPECT_EQ(valueOf(form->dtp2), QStringLiteral("13:00"));
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(form->dtp2)->state().disabled);
}

TEST_F(AccessibilityTest, NamesFollowTheEditorAndTheMonthStep) {
    writeFile(kToday, "02\\9:00\\4.0\\鈴木\r\n");
    reopen();
    form->setCurrentBlock(block(50));
    form->dtp1->setValue(hm(10, 30));
    form->Edit1->setText("2.5");
    expectNames({{form->Label(50), "10:30 13:00"}, {form->Label(100), "2.5"}});
    EXPECT_EQ(descriptionOf(block(50)), QStringLiteral("2行目、10:30から13:00まで、2.5時間"));

    form->spb2->click();
    // next month, day 1: an empty board
    expectNames({
        {form->LabelB, "2027/01"},
        {form->LabelA, "金"},
        {block(50), "---"},
        {form->Label(50), ""},
        {form->Label(100), ""},
    });
    EXPECT_EQ(descriptionOf(block(50)), QStringLiteral("待機中"));
}

// The grid as a table: its rows and the columns it shows, the headers by
// their texts, the tint as the selection, the current cell as the focus.
TEST_F(AccessibilityTest, TheGridIsATable) {
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(form->sg1);
    ASSERT_EQ(grid->role(), QAccessible::Table);
    QAccessibleTableInterface* table = grid->tableInterface();
    ASSERT_NE(table, nullptr);
    const auto nameAt = [&](int row, int col) {
        return table->cellAt(row, col)->text(QAccessible::Name);
    };
    const struct {
        int clientWidth, columns;
        const char* lastHour; // the last column's header
    } widths[] = {
        {TForm1::kMinClientWidth, 20, "0"}, {1100, 26, ""}, {TForm1::kMinClientWidth, 20, "0"}};
    for (const auto& w : widths) {
        SCOPED_TRACE(w.clientWidth);
        form->resize(w.clientWidth, TForm1::kMinClientHeight);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->width() == w.clientWidth; }));
        EXPECT_EQ(table->rowCount(), 9);
        EXPECT_EQ(table->columnCount(), w.columns);
        EXPECT_EQ(nameAt(0, 1), QStringLiteral("6"));
        EXPECT_EQ(nameAt(0, w.columns - 1), QString::fromLatin1(w.lastHour));
        EXPECT_EQ(nameAt(5, 0), QStringLiteral("5"));
        EXPECT_EQ(table->cellAt(0, 1)->role(), QAccessible::ColumnHeader);
        EXPECT_EQ(table->cellAt(5, 0)->role(), QAccessible::RowHeader);
        EXPECT_EQ(table->cellAt(5, 3)->role(), QAccessible::Cell);
    }
    // a selection from column 0 tints columns 1 to 4 only
    form->sg1->setSelection({0, 4}, {4, 4});
    QList<int> selected;
    for (QAccessibleInterface* cell : table->selectedCells())
        selected << cell->tableCellInterface()->rowIndex() * 100 +
                        cell->tableCellInterface()->columnIndex();
    EXPECT_EQ(selected, (QList<int>{401, 402, 403, 404}));
    EXPECT_TRUE(table->cellAt(4, 2)->state().selected);
    EXPECT_FALSE(table->cellAt(4, 5)->state().selected);
    EXPECT_FALSE(table->cellAt(4, 0)->state().selected);
    // the current cell is focused while the grid has the focus
    showForm();
    focus(form->sg1);
    EXPECT_TRUE(table->cellAt(4, 4)->state().focused);
    EXPECT_FALSE(table->cellAt(4, 3)->state().focused);
}

} // namespace
} // namespace kab::test
