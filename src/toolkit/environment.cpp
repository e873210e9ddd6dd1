#include "toolkit/environment.h"

#include "foundation/atomicfile.h"
#include "toolkit/application.h"
#include "toolkit/notify.h"
#include "toolkit/printing.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

namespace kab::tk {

namespace {

// The report box. QMessageBox fixes its size after each layout; on native
// Wayland the compositor learns that size as the window's limits and may
// maximise the box all the same, and a maximised surface that keeps a size
// of its own is a protocol error that ends the program. There the box drops
// its largest size again each time, and a maximised box asks to be normal.
class ErrorBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent* e) override {
        const bool handled = QMessageBox::event(e);
        if (nativeWayland()) {
            if (maximumSize() != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX))
                setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            if (e->type() == QEvent::WindowStateChange) leaveCompositorSize(this);
        }
        return handled;
    }
};

} // namespace

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
    ErrorBox box(QMessageBox::Critical, caption, message, QMessageBox::Ok, owner);
    box.exec();
}

void SystemEnvironment::openFile(const QString& path,
                                 std::function<void(const QString& why)> failed) {
    // xdg-open says by its exit status whether any program took the file,
    // which Qt's own opening does not pass on; it may wait for the editor,
    // so it runs beside the board and is only listened to
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            failed(QString::fromUtf8("ファイルを開くプログラムが見つかりません"));
        return;
    }
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener);
    process->setArguments({path});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(
        process, &QProcess::finished, process,
        [process, failed](int code, QProcess::ExitStatus status) {
            process->deleteLater();
            if (status != QProcess::NormalExit || code == 0) return;
            // 3: no program for the file's type, 4: the program
            // found failed
            failed(code == 3 || code == 4
                       ? QString::fromUtf8("このファイルを開くプログラムがありません")
                       : QString::fromUtf8("ファイルを開けませんでした (xdg-open の終了コード %1)")
                             .arg(code));
        });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         process->deleteLater();
                         failed(QString::fromUtf8("xdg-open を起動できません"));
                     });
    process->start();
}

void SystemEnvironment::notify(const QString& summary, const QString& body) {
    notifyDesktop(QGuiApplication::applicationDisplayName(), summary, body);
}

int SystemEnvironment::replaceFile(const FilePath& path, std::string_view bytes) {
    return replaceFileContents(path, bytes).versionError;
}

bool SystemEnvironment::confirmOverwrite(QWidget* owner, const QString& caption,
                                         const QString& message) {
    ErrorBox box(QMessageBox::Warning, caption, message, QMessageBox::NoButton, owner);
    QPushButton* overwrite = box.addButton(QString::fromUtf8("上書き"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QString::fromUtf8("キャンセル"), QMessageBox::RejectRole);
    // the safe answer is the one Return gives
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == overwrite;
}

bool SystemEnvironment::choosePrinter(QPrinter& printer, QWidget* owner) {
    return runPrintDialog(printer, owner);
}

QString SystemEnvironment::chooseSaveFile(QWidget* owner, const QString& caption,
                                          const QString& name, const QString& filters) {
    return QFileDialog::getSaveFileName(owner, caption, QDir::home().filePath(name), filters);
}

} // namespace kab::tk
