#include "toolkit/module.h"

#include "foundation/errors.h"
#include "toolkit/text.h"

#include <QCoreApplication>
#include <QLibrary>

namespace kab::tk {

void* moduleEntry(const QString& fileName, const char* entry, const char* whatUtf8) {
    // never unloaded: what it hands out lives as long as the program
    QLibrary library(QCoreApplication::applicationDirPath() + QStringLiteral("/lib/") + fileName);
    if (auto* found = reinterpret_cast<void*>(library.resolve(entry))) return found;
    throw Error(ErrorKind::FileOpen, sjis::fromUtf8(whatUtf8) + fromQt(library.errorString()));
}

} // namespace kab::tk
