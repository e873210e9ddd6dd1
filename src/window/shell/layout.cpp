// The control tree of the main window: positions, sizes, colours, fonts and
// settings as the window is laid out, before the start-up sequence runs.

#include "window/shell/unit1.h"

#include "board/geometry.h"
#include "storage/dayfile.h"
#include "toolkit/align.h"
#include "toolkit/application.h"
#include "toolkit/button.h"
#include "toolkit/edit.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/look.h"
#include "toolkit/memo.h"
#include "toolkit/pagecontrol.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/shape.h"
#include "toolkit/text.h"
#include "window/shell/blockstate.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace kab {

using tk::Face;
using tk::makeFont;
using Bevel = tk::Panel::Bevel;

namespace {

template <typename W> W* make(QWidget* parent, const char* name, int l, int t, int w, int h) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(l, t, w, h);
    return widget;
}

// Flat button of the editor panel.
tk::SpeedButton* flatButton(QWidget* parent, const char* name, QRect r, const char* captionUtf8) {
    auto* b = make<tk::SpeedButton>(parent, name, r.x(), r.y(), r.width(), r.height());
    b->setFlat(true);
    b->setCaption(sjis::fromUtf8(captionUtf8));
    return b;
}

tk::DateTimePicker* picker(QWidget* parent, const char* name, QRect r, const char* format,
                           DateSerial value) {
    auto* p = make<tk::DateTimePicker>(parent, name, r.x(), r.y(), r.width(), r.height());
    p->setFormat(QString::fromLatin1(format));
    p->setValue(value);
    p->setFont(makeFont(Face::Sans, 16));
    p->setInputMethodClosed(true);
    return p;
}

} // namespace

void TForm1::buildLayout() {
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    hint_ = "Kabrelo";
    setWindowTitle(QString());
    setFont(makeFont(Face::PGothic, 12));
    setAutoFillBackground(true);
    // the standard light colours, whatever the desktop's theme
    QPalette pal = tk::lightPalette();
    pal.setColor(QPalette::Window, tk::btnFace());
    setPalette(pal);
    move(27, 107);
    resize(792, 479);

    PanelA = make<tk::Panel>(this, "PanelA", 0, 0, 792, 479);
    tk::setAlign(PanelA, tk::Align::Client);
    PanelA->setSingleBorder(true);
    PanelA->setBevels(Bevel::None, Bevel::Lowered, 1);
    PanelA->setColor(tk::clGray());

    pgc1 = make<tk::PageControl>(PanelA->client(), "pgc1", 1, 1, 852, 483);
    pgc1->setTabsAtBottom(true);
    pgc1->setTabWidth(90);
    TabSheet1 = pgc1->addPage(QStringLiteral("TabSheet1"));
    TabSheet2 = pgc1->addPage(QStringLiteral("TabSheet2"));
    TabSheet3 = pgc1->addPage(QStringLiteral("TabSheet3"));
    pgc1->setActivePage(0);

    sg1 = new tk::StringGrid(board::colCount, board::rowCount, TabSheet1);
    sg1->setObjectName(QStringLiteral("sg1"));
    sg1->setGeometry(0, 0, 844, 458);
    tk::setAlign(sg1, tk::Align::Client);
    sg1->setDefaultRowHeight(board::rowHeight);
    sg1->setDefaultColWidth(12);
    sg1->setColor(tk::clSilver());
    sg1->setFont(makeFont(Face::PGothic, 15));
    sg1->onDrawCell = [this](int c, int r, const tk::CellRect& rect, unsigned state) {
        sg1DrawCell(c, r, rect, state);
    };
    sg1->onSelectCell = [this](int c, int r, bool& can) { sg1SelectCell(c, r, can); };
    sg1->onMouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
        sg1MouseUp(b, m, x, y);
    };
    sg1->onMouseWheel = [this](bool up, Qt::KeyboardModifiers m, QPoint pos, bool& handled) {
        sg1MouseWheelUp(up, m, pos, handled);
    };

    buildEditorPanel();
    buildHoldingPage();

    // the third page's list and panel are made when first asked for
    pgc1->layoutPages();

    Shade1 = make<tk::Panel>(this, "Shade1", 205, 125, 61, 25);
    Shade1->setBevels(Bevel::None, Bevel::Lowered, 1);
    Shade1->setColor(tk::clWhite());
    Shade1->hide();
    Shape1 = make<tk::Shape>(Shade1, "Shape1", 1, 1, 59, 23);
    tk::setAlign(Shape1, tk::Align::Client);
    Shape1->setBrush(QBrush(tk::btnFace()));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(110);
    connect(Timer1, &QTimer::timeout, this, [this] { tk::guarded([this] { Timer1Timer(); }); });

    // keyboard order: the board, then the editor (the disabled end picker
    // is skipped by Qt)
    setTabOrder(sg1, dtp2);
    setTabOrder(dtp2, Edit1);
    setTabOrder(Edit1, dtp1);
    setTabOrder(dtp1, cmb1);
    setTabOrder(cmb1, dtp0);
}

void TForm1::buildListPage() {
    if (ListBox1) return;
    ListBox1 = make<QListWidget>(TabSheet3, "ListBox1", 0, 0, 100, 100);
    tk::setAlign(ListBox1, tk::Align::Client);
    PanelD = make<tk::Panel>(TabSheet3, "PanelD", 0, 0, 100, 114);
    tk::setAlign(PanelD, tk::Align::Bottom);
    PanelD->setBevels(Bevel::None, Bevel::None);
    PanelD->setColor(tk::clSilver());
    // shown with their page, as the controls made before it showed
    ListBox1->show();
    PanelD->show();
    tk::alignChildren(TabSheet3, TabSheet3->rect());
}

void TForm1::buildEditorPanel() {
    PanelC = make<tk::Panel>(TabSheet1, "PanelC", 337, 397, 441, 72);
    PanelC->setBevels(Bevel::None, Bevel::None);
    PanelC->setBorderWidth(1);
    PanelC->setColor(tk::clSilver());

    // Drawn on the panel's surface, beneath the windowed controls.
    ShapeA = make<tk::Shape>(PanelC, "ShapeA", 240, 45, 31, 20);
    ShapeA->setBrush(Qt::NoBrush);
    ShapeA->setPen(QPen(QColor(176, 112, 112), 2), true);
    ShapeA->hide();

    LabelB = make<tk::Label>(PanelC, "LabelB", 80, 44, 79, 25);
    LabelB->setCaption("***");
    LabelB->setAlignment(Qt::AlignHCenter);
    LabelB->setVerticalCenter(true);
    LabelB->setTransparent(false);
    LabelB->setColor(PanelC->color());
    LabelB->setFont(makeFont(Face::SansBold, 16));

    spb2 = flatButton(PanelC, "spb2", {178, 43, 15, 25}, ">");
    spb1 = flatButton(PanelC, "spb1", {162, 43, 15, 25}, "<");
    spb3 = flatButton(PanelC, "spb3", {291, 42, 55, 26}, "保存");
    spb3->setFont(makeFont(Face::Sans, 15));
    sbtn1 = flatButton(PanelC, "sbtn1", {17, 5, 55, 26}, "");
    sbtn1->setFont(makeFont(Face::Sans, 15));

    dtp2 = picker(PanelC, "dtp2", {330, 5, 80, 27}, "H:mm", 41640.54166666666);
    dtp2->setEnabled(false);

    Edit1 = make<tk::Edit>(PanelC, "Edit1", 270, 5, 56, 27);
    Edit1->setTag(240);
    Edit1->setFont(makeFont(Face::Sans, 16));
    Edit1->setInputMethodClosed(true);
    // nothing the user puts in may break the record it is saved in
    Edit1->setTextRule([](const SjisString& text) { return storage::fitsInField(text); });

    dtp1 = picker(PanelC, "dtp1", {185, 5, 80, 27}, "H:mm", 41640.375);

    cmb1 = make<tk::ComboBox>(PanelC, "cmb1", 75, 7, 101, 23);
    cmb1->setMaxVisibleItems(40);
    cmb1->setItemHeight(15);
    cmb1->setFont(makeFont(Face::Gothic, 15));
    // Names are chosen, never typed: an input method has nothing to give
    // here, and a composition under way would take the arrow keys.
    cmb1->setInputMethodClosed(true);

    dtp0 = picker(PanelC, "dtp0", {217, 41, 72, 27}, "d", 36892.0);
    dtp0->setWrapping(true); // the day steps round within its month

    // Names a screen reader gives the editor's controls; nothing shows them.
    const std::pair<QWidget*, const char*> spoken[] = {
        {cmb1, "名前"}, {dtp1, "開始"}, {dtp2, "終了"}, {Edit1, "時間数"}, {dtp0, "日"}};
    for (const auto& [control, name] : spoken)
        control->setAccessibleName(tk::toQt(sjis::fromUtf8(name)));
    // the name box's edit field is read as a text object of its own
    cmb1->lineEdit()->setAccessibleName(cmb1->accessibleName());

    // The start picker and the duration box share the apply step; three
    // controls share the focus frame.
    dtp1->onChange = [this](tk::DateTimePicker* p) { dtp1Change(p); };
    Edit1->onChange = [this](tk::Edit* e) { dtp1Change(e); };
    dtp1->onEnter = [this](tk::DateTimePicker* p) { cmb1Enter(p); };
    Edit1->onEnter = [this](tk::Edit* e) { cmb1Enter(e); };
    cmb1->onEnter = [this](tk::ComboBox* c) { cmb1Enter(c); };
    cmb1->onChange = [this](tk::ComboBox*) { cmb1Change(); };
    dtp0->onChange = [this](tk::DateTimePicker*) { dtp0Change(); };
    spb1->onClick = [this](tk::SpeedButton* b) { spb1Click(b); };
    spb2->onClick = [this](tk::SpeedButton* b) { spb1Click(b); };
    spb3->onClick = [this](tk::SpeedButton*) { spb3Click(); };
    sbtn1->onClick = [this](tk::SpeedButton*) { sbtn1Click(); };
}

std::function<void(tk::Label*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)>
TForm1::blockPress() {
    return [this](tk::Label* sender, Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint pos) {
        // the blocks beneath show as soon as this one leaves the stack
        makeBlocksDownTo(1);
        Label1MouseDown(sender, b, m, pos.x(), pos.y());
    };
}

void TForm1::buildBlock(int n) {
    auto* times = make<tk::Label>(TabSheet2, "", 0, 0, 50, 11);
    times->setObjectName(QStringLiteral("Label%1").arg(n));
    times->setAlignment(Qt::AlignRight);
    times->setWordWrap(true);
    times->setTransparent(true);
    times->setColor(QColor(240, 240, 240));
    times->setFont(makeFont(Face::Sans, 15));
    labels[static_cast<std::size_t>(n - 1)] = times;

    auto* duration = make<tk::Label>(TabSheet2, "", 250, 250, 40, 20);
    duration->setObjectName(QStringLiteral("Label%1").arg(n + kBlocks));
    duration->setAlignment(Qt::AlignRight);
    duration->setVerticalCenter(true);
    duration->setWordWrap(true);
    duration->setTransparent(true);
    duration->setFont(makeFont(Face::SansBold, 16));
    duration->setTextColor(tk::clWhite());
    // the last block's duration label grabs its block too
    if (n == kBlocks) duration->onMouseDown = blockPress();
    labels[static_cast<std::size_t>(n - 1 + kBlocks)] = duration;

    auto* p = make<tk::Panel>(TabSheet2, "", 220, 410, 120, board::blockHeight);
    p->setObjectName(QStringLiteral("Panel%1").arg(n));
    p->setCursor(Qt::PointingHandCursor);
    p->setCaption(SjisString(blockstate::kNoName));
    p->setCaptionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    p->setBevels(Bevel::Lowered, Bevel::Raised, 1);
    p->setFont(makeFont(Face::Sans, 16));
    panels[static_cast<std::size_t>(n - 1)] = p;
}

void TForm1::buildHoldingPage() {
    // The blocks are made as they are first needed, from the 50th down
    // (pool.cpp): most days use a few, and a start shows one of the rest.
    LabelA = make<tk::Label>(TabSheet2, "LabelA", 225, 25, 20, 20);
    LabelA->setTransparent(false);
    LabelA->setFont(makeFont(Face::Gothic, 15, true));
    LabelA->onClick = [this](tk::Label*) { LabelAClick(); };

    Memo1 = make<tk::Memo>(TabSheet2, "Memo1", 594, 33, 76, 35);
    Memo1->setFont(makeFont(Face::Gothic, 11));
    Memo1->hide();
}

} // namespace kab
