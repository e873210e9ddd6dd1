// The board's page on what the print dialog chose (Ctrl+P, printing.cpp).

#include "window/interaction/printing.h"

#include "foundation/datetime.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "page/daypage_paint.h"
#include "toolkit/printing.h"
#include "toolkit/text.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <cerrno>

namespace kab {

void printBoardPage(tk::Environment& env, QWidget* owner, const report::DayPage& page) {
    tk::PrintRequest request;
    // the name "print to file" offers
    request.docName = tk::toQt(formatDateTime("yyyy-mm-dd", page.date));
    tk::print(env, owner, request, [&page](const tk::PrintTarget& to) {
        QPainter painter;
        const FilePath file = tk::pathFromQt(to.outputFile);
        const auto failed = [&] {
            return file.empty() ? Error(ErrorKind::FileCreate, sjis::fromUtf8("印刷できません: ") +
                                                                   tk::fromQt(to.printerName))
                                : fileCreateError(file, errno != 0 ? errno : EIO);
        };
        errno = 0;
        if (!painter.begin(&to.device)) throw failed();
        page::paintDayPage(painter, QRectF(QPointF(0, 0), to.paper), page);
        if (!painter.end()) throw failed();
    });
}

} // namespace kab
