#pragma once
// The one place where the program's Shift-JIS texts meet Qt's strings.

#include "foundation/sjis.h"

#include <QString>

namespace kab::tk {

// Bytes that do not convert show as U+FFFD; nothing fails.
QString toQt(std::string_view sjisText);
// Characters without a Shift-JIS form become "?".
SjisString fromQt(const QString& text);

// File names: Shift-JIS text made by the program's rules, UTF-8 on disk.
QString pathToQt(std::string_view sjisPath);
SjisString pathFromQt(const QString& path);

} // namespace kab::tk
