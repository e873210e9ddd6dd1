#pragma once
// Printing through the desktop's print dialog. Qt's print support is not
// linked into the program: it lives in the print module (print_module.cpp,
// built as lib/kabrelo24-print.so beside the program), loaded the first
// time something is printed, so that a board that never prints never maps
// it.

#include <QSizeF>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace kab::tk {

class Environment;

// A landscape job at the printer's high resolution.
struct PrintRequest {
    QString docName; // the name "print to file" offers
    bool a4 = false; // A4 paper rather than the printer's own default
};

// What the dialog chose: the device to paint the pages on, its printable
// area in device pixels, and where the pages go.
struct PrintTarget {
    QPagedPaintDevice& device;
    QSizeF paper;
    QString outputFile; // "print to file"'s file; empty for a printer
    QString printerName;
};

using PaintPages = std::function<void(const PrintTarget&)>;

// The environment's print dialog for the request, then paint on what it
// chose; false, painting nothing, when the user cancels. Throws what paint
// throws, and an Error when the print module cannot be loaded.
bool print(Environment& env, QWidget* owner, const PrintRequest& request, const PaintPages& paint);

// Qt's print dialog for printer, without a page range to choose (the
// system environment's choosePrinter); false when the user cancels.
bool runPrintDialog(QPrinter& printer, QWidget* owner);

// The print module's entry points.
struct PrintModule {
    bool (*print)(Environment& env, QWidget* owner, const PrintRequest& request,
                  const PaintPages& paint);
    bool (*dialog)(QPrinter& printer, QWidget* owner);
};

// A module linked in rather than loaded (the tests link its code).
void usePrintModule(const PrintModule* module);

} // namespace kab::tk

// The module's one exported symbol.
extern "C" const kab::tk::PrintModule* kabrelo24_print_module();
