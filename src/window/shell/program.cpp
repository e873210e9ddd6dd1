#include "window/shell/program.h"

#include "toolkit/application.h"
#include "toolkit/environment.h"
#include "toolkit/instancelock.h"
#include "toolkit/logout.h"
#include "window/shell/unit1.h"

#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QResource>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace kab {

namespace {

bool isSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

bool platformArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "-platform" || a == "--platform" || a.starts_with("-platform=") ||
            a.starts_with("--platform="))
            return true;
    }
    return false;
}

// The connection Qt's X11 plugin would make, authorisation included; a
// DISPLAY naming no server is no X server.
bool xServerReachable() {
    if (!isSet("DISPLAY")) return false;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return ok;
}

// The socket libwayland would connect to: WAYLAND_DISPLAY (wayland-0 when
// unset) in the runtime folder, or that path itself when absolute.
bool waylandReachable() {
    if (isSet("WAYLAND_SOCKET")) return true; // handed over by a launcher
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name) name = "wayland-0";
    std::string path = name;
    if (path.front() != '/') {
        if (!isSet("XDG_RUNTIME_DIR")) return false;
        path = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + path;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

} // namespace

Platform choosePlatform(const DisplayFacts& facts) {
    if (facts.userChosePlatform) return Platform::UsersChoice;
    if (facts.xServer) return Platform::Xcb;
    if (facts.wayland) return Platform::Wayland;
    return Platform::NoDisplay;
}

std::string noDisplayMessage(const char* display, const char* waylandDisplay) {
    const auto named = [](const char* var, const char* value) {
        if (!value || !*value) return std::string(var) + " is not set";
        return std::string(var) + "=" + value + " cannot be reached";
    };
    return "kabrelo24: no display to open the window on: " + named("DISPLAY", display) + ", " +
           named("WAYLAND_DISPLAY", waylandDisplay);
}

int runProgram(int argc, char** argv, void (*created)(QWidget* window)) {
    // Held for the process's life; the kernel drops it at exit.
    static tk::InstanceLock lock("_kabrelo24");
    if (!lock.acquired()) return 0;

    // nothing to look for where the user chose
    const bool chosen = isSet("QT_QPA_PLATFORM") || platformArgument(argc, argv);
    const DisplayFacts facts{chosen, !chosen && xServerReachable(), !chosen && waylandReachable()};
    const Platform platform = choosePlatform(facts);
    if (platform == Platform::NoDisplay) {
        // Qt would abort here, advising to reinstall
        const std::string m =
            noDisplayMessage(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
        std::fprintf(stderr, "%s\n", m.c_str());
        return 1;
    }

    // Qt reads the variable while the application object is built; it goes
    // again afterwards, so that programs the board starts (the staff list's
    // editor) make their own choice.
    if (platform != Platform::UsersChoice)
        setenv("QT_QPA_PLATFORM", platform == Platform::Xcb ? "xcb" : "wayland", 1);
    tk::SystemEnvironment env;
    tk::Application app(argc, argv, env);
    if (platform != Platform::UsersChoice) unsetenv("QT_QPA_PLATFORM");
    // Qt's own words (the print and file dialogs, the standard buttons) in
    // the desktop's language, where Qt's translations are installed
    auto* qtWords = new QTranslator(&app);
    if (qtWords->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtWords);
    // the title bar and the task switcher show the program's own icon, kept
    // as the pixels they show: a start decodes no image for it
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        const QResource pixels(QStringLiteral(":/icons/%1x%1/kabrelo24.argb").arg(size));
        if (pixels.compressionAlgorithm() != QResource::NoCompression ||
            pixels.size() != qint64(size) * size * 4)
            continue;
        icon.addPixmap(QPixmap::fromImage(
            QImage(pixels.data(), size, size, QImage::Format_ARGB32_Premultiplied)));
    }
    QApplication::setWindowIcon(icon);
    TForm1 form(env);
    tk::quitOnLogoutSignals();
    if (created) created(&form);
    form.show();
    // Without a window manager nothing activates the window for us.
    form.activateWindow();
    return app.exec();
}

} // namespace kab
