// Ctrl+P: the day on show printed through the desktop's print dialog, as one
// landscape page drawn by the same code as the report command's.

#include "window/interaction/printing.h"

#include "board/geometry.h"
#include "foundation/errors.h"
#include "page/daypage_paint.h"
#include "report/monthtable.h"
#include "report/stafforder.h"
#include "window/shell/blockstate.h"
#include "window/shell/unit1.h"
#include "storage/dayfile.h"
#include "toolkit/application.h"
#include "toolkit/environment.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/text.h"

#include <QPainter>
#include <QShortcut>
#include <cerrno>
#include <cmath>

namespace kab {

report::DayPage boardPage(const TForm1& form) {
    report::DayPage page;
    page.date = std::floor(form.dtp0->value());
    // back to front, as the grid stacks its children
    for (QObject* child : form.sg1->children()) {
        auto* block = qobject_cast<tk::Panel*>(child);
        if (!block || !block->objectName().startsWith(QLatin1String("Panel"))) continue;
        const tk::Label* times = form.timeLabel(block);
        const tk::Label* duration = form.durationLabel(block);
        if (blockstate::isPlaced(*block)) {
            const QColor c = block->color();
            page.blocks.push_back(
                {block->x(),
                 block->y(),
                 block->width(),
                 {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                  static_cast<std::uint8_t>(c.blue())},
                 block->caption(),
                 times->caption(),
                 duration->caption()});
        }
        // what a save writes: every block with a hint
        if (block->hint().empty()) continue;
        report::PageEntry e;
        e.row = board::rowOfTop(block->y());
        e.left = block->x();
        e.name = block->caption();
        const blockstate::Times shown = blockstate::shownTimes(*times);
        e.start = shown.start;
        e.end = shown.end;
        e.hours = report::Hours::parse(storage::splitHint(block->hint()).duration);
        page.entries.push_back(std::move(e));
    }
    report::finishPage(page);
    report::orderByStaff(page.totals, report::staffOf(form.dataDir()));
    return page;
}

void TForm1::addPrintShortcut() {
    // A window shortcut: Qt offers the key to the focused control first
    // (ShortcutOverride), and takes it only when the control does not use
    // it, so no key filter sees it and no control loses a key.
    auto* print = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    print->setObjectName(QStringLiteral("printShortcut"));
    connect(print, &QShortcut::activated, this, [this] { tk::guarded([this] { printDay(); }); });
}

void TForm1::printDay() {
    // no dialog while a block follows the pointer
    if (drag_.label) return;
    const report::DayPage page = boardPage(*this);
    printBoardPage(env_, this, page);
}

} // namespace kab
