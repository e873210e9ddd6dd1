#include "toolkit/printing.h"

#include "toolkit/module.h"

namespace kab::tk {

namespace {

const PrintModule* g_module = nullptr;

// lib/kabrelo24-print.so beside the program, loaded once and kept.
const PrintModule& module() {
    if (g_module) return *g_module;
    using Entry = const PrintModule* (*)();
    const auto entry = reinterpret_cast<Entry>(moduleEntry(QStringLiteral("kabrelo24-print.so"),
                                                           "kabrelo24_print_module",
                                                           "印刷の部品を読み込めません: "));
    g_module = entry();
    return *g_module;
}

} // namespace

void usePrintModule(const PrintModule* m) {
    g_module = m;
}

bool print(Environment& env, QWidget* owner, const PrintRequest& request, const PaintPages& paint) {
    return module().print(env, owner, request, paint);
}

bool runPrintDialog(QPrinter& printer, QWidget* owner) {
    return module().dialog(printer, owner);
}

} // namespace kab::tk
