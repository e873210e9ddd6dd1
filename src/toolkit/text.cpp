#include "toolkit/text.h"

#include <QFile>

namespace kab::tk {

QString toQt(std::string_view s) {
    std::string u = sjis::toUtf8(s);
    return QString::fromUtf8(u.data(), static_cast<qsizetype>(u.size()));
}

SjisString fromQt(const QString& text) {
    QByteArray u = text.toUtf8();
    return sjis::fromUtf8(std::string_view(u.constData(), static_cast<std::size_t>(u.size())));
}

QString pathToQt(const FilePath& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

FilePath pathFromQt(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace kab::tk
