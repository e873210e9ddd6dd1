#pragma once
// What the program asks of its surroundings, behind one seam so that tests can
// fix today's date, the pointer and the program's folder, and record error
// reports instead of opening a modal box.

#include "foundation/datetime.h"
#include "foundation/files.h"

#include <QPoint>
#include <QString>
#include <functional>

class QPrinter;
class QWidget;

namespace kab::tk {

class Environment {
public:
    virtual ~Environment() = default;

    // Local date at 0:00.
    virtual DateSerial today() const = 0;
    // Pointer position in screen coordinates.
    virtual QPoint cursorPos() const = 0;
    // Outer top-left corner (the frame's) of a top-level window, on screen.
    virtual QPoint windowCorner(const QWidget& window) const = 0;
    // Folder of the program's file, ending in "/".
    virtual QString programDir() const = 0;
    // The default error report: a modal box with a stop icon and OK.
    virtual void showError(QWidget* owner, const QString& caption, const QString& message) = 0;
    // Opens a file with the desktop's associated application. failed is
    // called, now or later from the event loop, with the reason when
    // nothing could open it.
    virtual void openFile(const QString& path, std::function<void(const QString& why)> failed) = 0;
    // Tells the desktop something worth knowing outside the window (a
    // notification); nothing when the desktop has no way to show it.
    virtual void notify(const QString& summary, const QString& body) = 0;
    // Replaces a file's contents whole (replaceFileContents), as the save
    // does; tests make it fail part-way. 0, or the errno of why the file
    // replaced could not be kept as a version.
    virtual int replaceFile(const FilePath& path, std::string_view bytes) = 0;
    // Whether to save over a file someone else changed: true for 上書き,
    // false for キャンセル (also Escape and closing the box).
    virtual bool confirmOverwrite(QWidget* owner, const QString& caption,
                                  const QString& message) = 0;
    // The desktop's print dialog for printer; false when the user cancels.
    virtual bool choosePrinter(QPrinter& printer, QWidget* owner) = 0;
    // The desktop's dialog for a file to write, offering name and filters
    // ("Excel (*.xlsx);;CSV (*.csv)"); empty when the user cancels.
    virtual QString chooseSaveFile(QWidget* owner, const QString& caption, const QString& name,
                                   const QString& filters) = 0;
};

class SystemEnvironment : public Environment {
public:
    DateSerial today() const override;
    QPoint cursorPos() const override;
    QPoint windowCorner(const QWidget& window) const override;
    QString programDir() const override;
    void showError(QWidget* owner, const QString& caption, const QString& message) override;
    void openFile(const QString& path, std::function<void(const QString& why)> failed) override;
    void notify(const QString& summary, const QString& body) override;
    int replaceFile(const FilePath& path, std::string_view bytes) override;
    bool confirmOverwrite(QWidget* owner, const QString& caption, const QString& message) override;
    bool choosePrinter(QPrinter& printer, QWidget* owner) override;
    QString chooseSaveFile(QWidget* owner, const QString& caption, const QString& name,
                           const QString& filters) override;
};

} // namespace kab::tk
