#include "toolkit/environment.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

namespace kab::tk {

DateSerial SystemEnvironment::today() const {
    return systemToday();
}

QPoint SystemEnvironment::cursorPos() const {
    return QCursor::pos();
}

QPoint SystemEnvironment::windowCorner(const QWidget& window) const {
    return window.frameGeometry().topLeft();
}

QString SystemEnvironment::programDir() const {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

void SystemEnvironment::showError(QWidget* owner, const QString& caption, const QString& message) {
    QMessageBox box(QMessageBox::Critical, caption, message, QMessageBox::Ok, owner);
    box.exec();
}

void SystemEnvironment::openFile(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace kab::tk
