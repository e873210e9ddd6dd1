#include "toolkit/text.h"

namespace kab::tk {

QString toQt(std::string_view s) {
    std::string u = sjis::toUtf8(s);
    return QString::fromUtf8(u.data(), static_cast<qsizetype>(u.size()));
}

SjisString fromQt(const QString& text) {
    QByteArray u = text.toUtf8();
    return sjis::fromUtf8(std::string_view(u.constData(), static_cast<std::size_t>(u.size())));
}

QString pathToQt(std::string_view sjisPath) {
    return toQt(sjisPath);
}
SjisString pathFromQt(const QString& path) {
    return fromQt(path);
}

} // namespace kab::tk
