// Ctrl+M: the month window, for the month on show.

#include "window/shell/unit1.h"

#include "toolkit/application.h"
#include "toolkit/label.h"
#include "toolkit/picker.h"
#include "window/month/monthwindow.h"

#include <QShortcut>

namespace kab {

void TForm1::addMonthShortcut() {
    // A window shortcut, as Ctrl+P: no control of the board uses the key,
    // and no key filter sees it.
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    key->setObjectName(QStringLiteral("monthShortcut"));
    connect(key, &QShortcut::activated, this,
            [this] { tk::guarded([this] { showMonthWindow(); }); });
}

void TForm1::showMonthWindow() {
    // not while a block follows the pointer: the new window would take it
    if (drag_.label) return;
    if (!monthWindow_) {
        const Date shown = decodeDate(currentMonth_ != 0 ? currentMonth_ : dtp0->value());
        monthWindow_ =
            std::make_unique<month::MonthWindow>(*this, report::Month{shown.year, shown.month});
    }
    monthWindow_->show();
    monthWindow_->raise();
    monthWindow_->activateWindow();
}

} // namespace kab
