#include "support/form_fixture.h"
#include "toolkit/look.h"
#include "toolkit/text.h"

#include <QAbstractItemView>
#include <QFontInfo>
#include <QTest>

namespace kab::test {
namespace {

struct Placement {
    const char* name;
    const char* parent;
    QRect bounds;
    bool visible; // visible to the user once the window shows
};

TEST_F(FormTest, ControlTreeAfterStartUp) {
    showForm();
    const Placement table[] = {
        {"PanelA", "Form1", {0, 0, 830, 480}, true},
        {"pgc1", "PanelA.client", {-4, -4, 832, 482}, true},
        {"TabSheet1", "pgc1", {4, 4, 826, 476}, true},
        {"TabSheet2", "pgc1", {4, 4, 826, 476}, false},
        {"TabSheet3", "pgc1", {4, 4, 826, 476}, false},
        {"sg1", "TabSheet1", {0, 0, 826, 476}, true},
        {"PanelC", "TabSheet1", {337, 397, 441, 72}, true},
        {"ShapeA", "PanelC", {240, 45, 31, 20}, false},
        {"LabelB", "PanelC", {80, 44, 79, 25}, true},
        {"spb2", "PanelC", {178, 43, 15, 25}, true},
        {"spb1", "PanelC", {162, 43, 15, 25}, true},
        {"spb3", "PanelC", {291, 42, 55, 26}, true},
        {"sbtn1", "PanelC", {17, 5, 55, 26}, true},
        {"dtp2", "PanelC", {330, 5, 80, 27}, true},
        {"Edit1", "PanelC", {270, 5, 56, 27}, true},
        {"dtp1", "PanelC", {185, 5, 80, 27}, true},
        {"cmb1", "PanelC", {75, 7, 101, 23}, true},
        {"dtp0", "PanelC", {217, 41, 72, 27}, true},
        {"LabelA", "dtp0", {32, 5, 20, 20}, true},
        {"Memo1", "TabSheet2", {594, 33, 76, 35}, false},
        {"ListBox1", "TabSheet3", {0, 0, 826, 362}, false},
        {"PanelD", "TabSheet3", {0, 362, 826, 114}, false},
        {"Shade1", "sg1", {205, 125, 80, 38}, false},
        {"Shape1", "Shade1", {1, 1, 78, 36}, false},
    };
    for (const auto& p : table) {
        SCOPED_TRACE(p.name);
        QWidget* w = form->findControl(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr);
        ASSERT_NE(w->parentWidget(), nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(p.parent));
        EXPECT_EQ(w->geometry(), p.bounds);
        EXPECT_EQ(w->isVisible(), p.visible);
    }
}

TEST_F(FormTest, BlockControlsAreFoundByName) {
    for (int n = 1; n <= 50; ++n) {
        auto* panel = qobject_cast<tk::Panel*>(form->findControl(QStringLiteral("Panel%1").arg(n)));
        ASSERT_NE(panel, nullptr) << n;
        EXPECT_EQ(panel, form->Panel(n));
        EXPECT_EQ(panel->caption(), "---");
        EXPECT_EQ(panel->height(), 38);
        EXPECT_EQ(panel->cursor().shape(), Qt::PointingHandCursor);
    }
    for (int n = 1; n <= 100; ++n) {
        auto* label = qobject_cast<tk::Label*>(form->findControl(QStringLiteral("Label%1").arg(n)));
        ASSERT_NE(label, nullptr) << n;
        EXPECT_EQ(label, form->Label(n));
        EXPECT_EQ(label->textColor(), n > 50 ? QColor(255, 255, 255) : QColor(0, 0, 0)) << n;
    }
    // no leading zeros, nothing past the pool
    EXPECT_EQ(form->findControl(QStringLiteral("Panel01")), nullptr);
    EXPECT_EQ(form->findControl(QStringLiteral("Panel51")), nullptr);
    EXPECT_EQ(form->findControl(QStringLiteral("Label101")), nullptr);
}

TEST_F(FormTest, FontsUseTheInstalledFacesAtTheirPixelHeights) {
    struct Case {
        const char* name;
        const char* family;
        int pixels;
        bool bold;
    } table[] = {
        {"Form1", "IPAPGothic", 12, false},   {"sg1", "IPAPGothic", 15, false},
        {"cmb1", "IPAGothic", 15, false},     {"LabelA", "IPAGothic", 15, true},
        {"Memo1", "IPAGothic", 11, false},    {"LabelB", "DejaVu Sans", 16, true},
        {"spb3", "DejaVu Sans", 15, false},   {"dtp1", "DejaVu Sans", 16, false},
        {"Edit1", "DejaVu Sans", 16, false},  {"Panel7", "DejaVu Sans", 16, false},
        {"Label7", "DejaVu Sans", 15, false}, {"Label57", "DejaVu Sans", 16, true},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.name);
        QWidget* w = QString::fromLatin1(c.name) == QLatin1String("Form1")
                         ? form.get()
                         : form->findControl(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr);
        const QFontInfo info(w->font());
        EXPECT_EQ(info.family(), QString::fromLatin1(c.family)); // the face is installed
        EXPECT_EQ(w->font().pixelSize(), c.pixels);
        EXPECT_EQ(w->font().bold(), c.bold);
    }
}

TEST_F(FormTest, ColoursAndCaptions) {
    EXPECT_EQ(form->PanelA->color(), QColor(128, 128, 128));
    EXPECT_EQ(form->sg1->color(), QColor(192, 192, 192));
    EXPECT_EQ(form->PanelC->color(), QColor(192, 192, 192));
    EXPECT_EQ(form->LabelB->color(), QColor(176, 176, 176));
    // the month on show, in blue as it is today's month
    EXPECT_EQ(form->LabelB->caption(), "2026/12");
    EXPECT_EQ(form->LabelB->textColor(), QColor(0, 0, 255));
    EXPECT_EQ(form->Shade1->color(), QColor(255, 255, 255));
    EXPECT_EQ(form->ShapeA->pen().color(), QColor(176, 112, 112));
    EXPECT_EQ(form->ShapeA->pen().width(), 2);
    EXPECT_TRUE(form->ShapeA->insideFrame());
    EXPECT_EQ(form->Shape1->pen().color(), QColor(90, 120, 180));
    EXPECT_EQ(form->Shape1->pen().width(), 4);
    EXPECT_EQ(form->Shape1->pen().style(), Qt::DashLine);
    EXPECT_EQ(form->Shape1->pen().capStyle(), Qt::SquareCap);
    EXPECT_EQ(form->sbtn1->caption(), sjis::fromUtf8("職員"));
    EXPECT_EQ(form->spb3->caption(), sjis::fromUtf8("保存"));
    EXPECT_EQ(form->spb1->caption(), "<");
    EXPECT_EQ(form->spb2->caption(), ">");
    EXPECT_EQ(form->hint(), "Kabrelo");
}

TEST_F(FormTest, EditorStateAfterStartUp) {
    EXPECT_EQ(form->hourWidth(), 40);
    EXPECT_EQ(form->dtp1->value(), 0.0);
    EXPECT_EQ(form->dtp2->value(), 0.0);
    EXPECT_FALSE(form->dtp2->isEnabled());
    EXPECT_EQ(form->dtp1->displayFormat(), QStringLiteral("H:mm"));
    EXPECT_EQ(form->dtp0->displayFormat(), QStringLiteral("d"));
    EXPECT_EQ(form->dtp0->minDate(), env().todayValue - 180);
    EXPECT_EQ(form->dtp0->maxDate(), env().todayValue + 92);
    EXPECT_EQ(form->Edit1->tag(), 240);
    EXPECT_EQ(form->Edit1->text(), "");
    EXPECT_TRUE(form->Edit1->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(form->cmb1->maxVisibleItems(), 40);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 110);
    EXPECT_EQ(form->pgc1->activePage(), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(form->pgc1->tabVisible(i));
    EXPECT_TRUE(form->acceptDrops());
    EXPECT_EQ(form->dataDir(), tk::pathFromQt(env().programDir()) + "data/");
}

TEST_F(FormTest, TheNameBoxDropDownOpensInTheBoxFaceWithFifteenPixelRows) {
    showForm();
    form->cmb1->showPopup();
    const QAbstractItemView* list = form->cmb1->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }));
    ASSERT_GT(form->cmb1->count(), 0);
    EXPECT_EQ(QFontInfo(list->font()).family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(list->font().pixelSize(), 15);
    EXPECT_EQ(list->sizeHintForRow(0), 15);
    form->cmb1->hidePopup();
}

TEST_F(FormTest, TabMovesThroughTheEditorSkippingTheEndPicker) {
    showForm();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Edit1->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Edit1->hasFocus(); }));
    const QWidget* expected[] = {form->dtp1, form->cmb1, form->dtp0};
    for (const QWidget* w : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), w) << w->objectName().toStdString();
    }
}

TEST_F(FormTest, NoControlShowsATooltip) {
    for (QWidget* w : form->findChildren<QWidget*>()) {
        EXPECT_TRUE(w->toolTip().isEmpty()) << w->objectName().toStdString();
    }
}

} // namespace
} // namespace kab::test
