// The main window object: construction, look-up by name, size limits and the
// routing of window events to the handlers.

#include "window/shell/unit1.h"

#include "toolkit/application.h"
#include "toolkit/label.h"
#include "window/shell/history.h"

#include <QApplication>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QWheelEvent>

namespace kab {

TForm1::TForm1(tk::Environment& env, QWidget* parent) : QWidget(parent), env_(env) {
    buildLayout();
    addPrintShortcut();
    addMonthShortcut();
    addClipboardShortcuts();
    updateSizeLimits();
    // Reports from the start-up sequence, before the first activation sets
    // the title, carry it too.
    if (auto* app = tk::Application::instance()) app->setTitle(applicationTitle());
    // An error in the start-up sequence skips its remaining steps; the
    // window still opens.
    tk::guarded([this] { FormCreate(); });
    // from the board the start-up shows on
    history_ = std::make_unique<History>(*this);
    tk::guarded([this] { tellUnsavedDays(); });
}

TForm1::~TForm1() {
    monthWindow_.reset();
    history_.reset();
    // no application event may reach a window half torn down
    if (qApp) qApp->removeEventFilter(this);
}

QWidget* TForm1::findControl(const QString& name) const {
    // The third page's list and panel, which nothing else uses, are made
    // the first time someone looks for them.
    if (name == QLatin1String("ListBox1") || name == QLatin1String("PanelD"))
        const_cast<TForm1*>(this)->buildListPage();
    // and the blocks, made as they are needed
    if (name.startsWith(QLatin1String("Panel")) || name.startsWith(QLatin1String("Label")))
        const_cast<TForm1*>(this)->makeBlocksDownTo(1);
    return findChild<QWidget*>(name, Qt::FindChildrenRecursively);
}

QSize TForm1::frameExtent() const {
    if (!isVisible()) return {0, 0};
    return frameGeometry().size() - geometry().size();
}

QSize TForm1::outerSize() const {
    return size() + frameExtent();
}

QSize TForm1::maxClientSize() const {
    const QSize f = frameExtent();
    return {kMaxOuterWidth - f.width(), kMaxOuterHeight - f.height()};
}

void TForm1::updateSizeLimits() {
    // A Wayland compositor must not learn them: it would maximise the window
    // all the same, and a maximised surface that keeps to a size of its own
    // is a protocol error that ends the program. There the window holds
    // itself to them (resizeEvent).
    if (tk::nativeWayland()) return;
    setMinimumSize(kMinClientWidth, kMinClientHeight);
    const QSize max = maxClientSize();
    if (maximumSize() != max) setMaximumSize(max);
}

void TForm1::setOuterSize(int width, int height) {
    const QSize f = frameExtent();
    const QSize before = size();
    resize(width - f.width(), height - f.height());
    // While hidden Qt holds the resize event back until the window shows;
    // the board must be laid out at once all the same.
    if (!isVisible() && size() != before) tk::guarded([this] { FormResize(); });
}

void TForm1::resizeEvent(QResizeEvent*) {
    // Without a window manager nobody holds another program (or the X
    // server) to the size limits; the window insists on them itself. Not on
    // a size the compositor dictates: it goes again at once.
    if (!tk::sizedByCompositor(this)) {
        const QSize bounded =
            size().expandedTo({kMinClientWidth, kMinClientHeight}).boundedTo(maxClientSize());
        if (bounded != size()) {
            resize(bounded);
            return;
        }
    }
    if (created_) tk::guarded([this] { FormResize(); });
}

void TForm1::showEvent(QShowEvent*) {
    updateSizeLimits();
}

void TForm1::moveEvent(QMoveEvent*) {
    // the frame is known only once a window manager has framed the window
    updateSizeLimits();
}

void TForm1::changeEvent(QEvent* e) {
    if (e->type() == QEvent::WindowStateChange) tk::leaveCompositorSize(this);
    QWidget::changeEvent(e);
}

// The window watches the application's events from the start-up on: the
// activations, the wheel, the editor's keys and the dragged block's mouse.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ApplicationActivate:
        if (watched == qApp) tk::guarded([this] { onActivate(); });
        return false;
    case QEvent::Wheel:
        return routeWheel(watched, static_cast<QWheelEvent*>(event));
    case QEvent::KeyPress:
        return filterEditorKeys(watched, static_cast<QKeyEvent*>(event));
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return followDrag(watched, event);
    default:
        return false;
    }
}

} // namespace kab
