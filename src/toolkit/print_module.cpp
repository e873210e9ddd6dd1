// The print module: everything of the program that uses Qt's print support,
// built as a library of its own that toolkit/printing.cpp loads with the
// first print. It calls back into the program through the environment's
// virtual functions and the painting callback alone.

#include "toolkit/environment.h"
#include "toolkit/printing.h"

#include <QPrintDialog>
#include <QPrinter>

namespace kab::tk {

namespace {

bool printPages(Environment& env, QWidget* owner, const PrintRequest& request,
                const PaintPages& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (request.a4) printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(request.docName);
    if (!env.choosePrinter(printer, owner)) return false;
    const QRectF paper = printer.pageLayout().paintRectPixels(printer.resolution());
    paint({printer, paper.size(), printer.outputFileName(), printer.printerName()});
    return true;
}

bool printDialog(QPrinter& printer, QWidget* owner) {
    QPrintDialog dialog(&printer, owner);
    // the day is one page: no range to choose
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted;
}

const PrintModule kModule{printPages, printDialog};

} // namespace

} // namespace kab::tk

extern "C" __attribute__((visibility("default"))) const kab::tk::PrintModule*
kabrelo24_print_module() {
    return &kab::tk::kModule;
}
