#pragma once
// The program's modules: parts it loads only when first needed (printing,
// the spreadsheet), so that a start maps none of their libraries. Each is a
// library lib/<name> beside the program with one exported entry.

#include <QString>

namespace kab::tk {

// The entry of lib/<fileName> beside the program, loaded once and kept.
// Throws Error (FileOpen) naming what, in the user's words, when the module
// or its entry cannot be found.
void* moduleEntry(const QString& fileName, const char* entry, const char* whatUtf8);

} // namespace kab::tk
