// The board's texts as a screen reader reads them from the window, without an
// X server: the block, its labels, the month and weekday labels and the
// editor, after the load and after changes.

#include "storage/form/storage_fixture.h"

#include <QAccessible>

namespace kab::test {
namespace {

class AccessibilityTest : public StorageTest {
protected:
    static QString nameOf(QObject* o) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
        return i ? i->text(QAccessible::Name) : QStringLiteral("<no interface>");
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
    });
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

    form->spb2->click();
    // next month, day 1: an empty board
    expectNames({
        {form->LabelB, "2027/01"},
        {form->LabelA, "金"},
        {block(50), "---"},
        {form->Label(50), ""},
        {form->Label(100), ""},
    });
}

} // namespace
} // namespace kab::test
