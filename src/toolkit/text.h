#pragma once
// The one place where the program's Shift-JIS texts meet Qt's strings.

#include "foundation/files.h"
#include "foundation/sjis.h"

#include <QString>

namespace kab::tk {

// Bytes that do not convert show as U+FFFD; nothing fails.
QString toQt(std::string_view sjisText);
// Characters without a Shift-JIS form become "?".
SjisString fromQt(const QString& text);

// Paths between Qt and the file system's own form, never through Shift-JIS.
QString pathToQt(const FilePath& path);
FilePath pathFromQt(const QString& path);

} // namespace kab::tk
