// Ctrl+P: the day on show printed through the desktop's print dialog, as one
// landscape page drawn by the same code as the report command's.

#include "window/interaction/printing.h"

#include "foundation/errors.h"
#include "page/daypage_paint.h"
#include "report/monthtable.h"
#include "report/stafforder.h"
#include "toolkit/application.h"
#include "toolkit/environment.h"
#include "toolkit/label.h"
#include "toolkit/picker.h"
#include "toolkit/text.h"
#include "window/shell/unit1.h"

#include <QPainter>
#include <QShortcut>
#include <cerrno>
#include <cmath>

namespace kab {

report::DayPage boardPage(const TForm1& form) {
    report::DayPage page = report::boardPage(form.boardState(), std::floor(form.dtp0->value()));
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
