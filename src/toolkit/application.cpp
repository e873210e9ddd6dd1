#include "toolkit/application.h"

#include "foundation/errors.h"
#include "toolkit/accessible.h"
#include "toolkit/text.h"

#include <QAccessible>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace kab::tk {

namespace {
Application* g_app = nullptr;

void show(const QString& message) {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    if (!g_app) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    g_app->environment().showError(QApplication::activeWindow(), g_app->title(), message);
}
} // namespace

Application::Application(int& argc, char** argv, Environment& env)
    : QApplication(argc, argv), env_(env) {
    g_app = this;
    QAccessible::installFactory(accessibleControl);
}

Application::~Application() {
    QAccessible::removeFactory(accessibleControl);
    if (g_app == this) g_app = nullptr;
}

Application* Application::instance() {
    return g_app;
}

void Application::setTitle(const QString& title) {
    title_ = title;
    setApplicationDisplayName(title);
}

namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Drop:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

} // namespace

bool Application::notify(QObject* receiver, QEvent* event) {
    const bool input = isUserInput(event->type());
    bool result = false;
    ++depth_;
    try {
        result = QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        reportError(e);
    } catch (...) {
        reportUnknownError();
    }
    if (--depth_ == 0 && input) emit inputHandled();
    return result;
}

void reportError(const std::exception& error) {
    if (auto* e = dynamic_cast<const Error*>(&error)) {
        show(toQt(reportText(e->message())));
    } else {
        show(QString::fromUtf8(reportText(error.what()).c_str()));
    }
}

bool nativeWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool sizedByCompositor(const QWidget* window) {
    return nativeWayland() &&
           (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
}

void leaveCompositorSize(QWidget* window) {
    if (!sizedByCompositor(window)) return;
    // not from inside the state change itself
    QTimer::singleShot(0, window, [window] {
        if (sizedByCompositor(window)) window->showNormal();
    });
}

void reportUnknownError() {
    show(QStringLiteral("?"));
}

} // namespace kab::tk
