// The start-up sequence and the activation handler.

#include "window/shell/unit1.h"

#include "board/geometry.h"
#include "foundation/errors.h"
#include "storage/folder.h"
#include "toolkit/application.h"
#include "toolkit/button.h"
#include "toolkit/edit.h"
#include "toolkit/environment.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/look.h"
#include "toolkit/pagecontrol.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/shape.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QWindow>
#include <ctime>

namespace kab {

QString TForm1::applicationTitle() const {
    return tk::toQt(hint_) + QStringLiteral("24");
}

void TForm1::onActivate() {
    const QString title = applicationTitle();
    if (auto* app = tk::Application::instance()) app->setTitle(title);
    setWindowTitle(title);
    // Written to the window system every time, also when something else
    // changed the title there: the widget skips a title it already holds.
    if (QWindow* w = windowHandle()) w->setTitle(title);
}

void TForm1::FormCreate() {
    created_ = true;
    // The title follows every activation of the application; the wheel is
    // routed by the focus, the editor's keys are filtered and a dragged block
    // follows the pointer from here on.
    qApp->installEventFilter(this);
    hourWidth_ = board::hourWidth;
    // the drop ghost is one block high
    Shade1->resize(Shade1->width(), board::blockHeight);
    Shade1->realign();
    // (The locale values are built in and never read again: no re-reading to
    // switch off.) The ghost's dashed frame: 4 px, square ends, centred on
    // its bounds.
    Shape1->setPen(
        QPen(QBrush(QColor(90, 120, 180)), 4, Qt::DashLine, Qt::SquareCap, Qt::RoundJoin), false);
    // no tab and no page frame shows
    pgc1->setButtonStyle(true);
    for (int i = 0; i < 3; ++i)
        pgc1->setTabVisible(i, false);
    // day files may be dropped on the window
    setAcceptDrops(true);
    // the data folder beside the program, rid of what saves killed before
    // their end left in it
    dataDir_ = tk::pathFromQt(env_.programDir()) + "data/";
    storage::removeLeftoverSaves(dataDir_, std::time(nullptr) - storage::leftoverAge);
    sbtn1->setCaption(sjis::fromUtf8("職員"));
    LabelB->setColor(tk::fromColorRef(11579568));
    // This month, today in the day picker, today's day file loaded. The
    // board is set up and loaded again below, and that load is the one shown:
    // a day file that fails here is reported there, once, and the start-up
    // goes on. (Asking for today, the one other thing that can fail here,
    // fails again in the seeding.)
    try {
        spb1Click(nullptr);
    } catch (const Error&) {
    }
    seedTodaysFile();
    // the weekday label shows inside the day picker's box
    LabelA->setParent(dtp0);
    LabelA->move(dtp0->width() - 40, 5);
    LabelA->setColor(dtp0->palette().color(QPalette::Base));
    LabelA->show();
    LabelA->raise();
    // picker limits; the start picker has no lower limit
    dtp1->setMinDate(0);
    const DateSerial today = env_.today();
    dtp0->setMinDate(today - 180);
    dtp0->setMaxDate(today + 92);
    // from here every column is one hour wide
    sg1->setDefaultColWidth(hourWidth_);
    Edit1->setCentered(true);
    dtp1->setValue(0);
    dtp2->setValue(0);
    pgc1->setActivePage(0);
    // the blocks wait at the parking spot; the grid gets its headers
    setUpPool();
    setHeaderTexts();
    // the load the user sees; a failing record is reported and the window
    // is still completed
    tk::guarded([this] { dtp0Change(); });
    // the drop ghost lives in the grid, two hours wide
    Shade1->setParent(sg1);
    Shade1->resize(2 * hourWidth_, Shade1->height());
    Shade1->realign();
    Shade1->hide();
    fillNameBox();
    watchStaffList();
    // as wide as the board up to 24:00; the size limits widen it
    setOuterSize(sg1->cellRect(19, 0).right + 20, outerSize().height());
}

} // namespace kab
