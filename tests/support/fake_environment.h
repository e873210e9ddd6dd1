#pragma once
// A test double for the environment: fixed today, a movable pointer, a temp
// program folder, and error reports recorded instead of shown.

#include "foundation/atomicfile.h"
#include "foundation/errors.h"
#include "toolkit/environment.h"

#include <QPrinter>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

namespace kab::test {

class FakeEnvironment : public tk::Environment {
public:
    struct Report {
        QString caption;
        QString message;
    };

    DateSerial todayValue = 46363; // Monday 7 December 2026
    QPoint cursor;
    QTemporaryDir dir;
    QString programFolder; // the program's folder, ending in "/"; empty: dir
    std::vector<Report> reports;
    QStringList opened;

    bool todayFails = false; // makes the start-up sequence fail where it asks for today

    DateSerial today() const override {
        if (todayFails) throw Error::invalidDateTime("today");
        return todayValue;
    }
    QPoint cursorPos() const override { return cursor; }
    QPoint windowCorner(const QWidget& w) const override { return w.frameGeometry().topLeft(); }
    QString programDir() const override {
        return programFolder.isEmpty() ? dir.path() + QLatin1Char('/') : programFolder;
    }
    void showError(QWidget*, const QString& caption, const QString& message) override {
        reports.push_back({caption, message});
    }
    // Why no program opens a file; empty: every file opens.
    QString openFails;
    void openFile(const QString& path, std::function<void(const QString& why)> failed) override {
        opened << path;
        if (!openFails.isEmpty()) failed(openFails);
    }
    // The notifications the desktop was given: summary, then body.
    QStringList notified;
    void notify(const QString& summary, const QString& body) override {
        notified << summary << body;
    }
    // Faults injected into the saves; none when null.
    const FileWriteHooks* saveHooks = nullptr;
    int replaceFile(const FilePath& path, std::string_view bytes) override {
        return replaceFileContents(path, bytes, saveHooks).versionError;
    }
    // The questions before a save over someone else's file, and the answer.
    std::vector<QString> questions;
    bool overwrite = true;
    bool confirmOverwrite(QWidget*, const QString&, const QString& message) override {
        questions.push_back(message);
        return overwrite;
    }
    // The print dialog: "print to file" into this PDF file, or cancelled
    // when it is empty.
    QString printToFile;
    int printDialogs = 0;
    bool choosePrinter(QPrinter& printer, QWidget*) override {
        ++printDialogs;
        if (printToFile.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToFile);
        return true;
    }
    // The file dialog: this path, or cancelled when it is empty.
    QString saveFile;
    QString chooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override {
        return saveFile;
    }
};

// The one environment of the test process; reset by each test fixture.
FakeEnvironment& env();
void resetEnv();

} // namespace kab::test
