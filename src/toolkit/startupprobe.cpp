#include "toolkit/startupprobe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace kab::tk {

namespace {

class Probe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        // The window's own paint comes first in a repaint; its children and
        // the flush to the screen follow before any timer runs.
        if (e->type() == QEvent::Paint && !fired_) {
            fired_ = true;
            QTimer::singleShot(0, this, [] {
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                std::printf("painted_ns=%lld maxrss_kib=%ld\n",
                            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                            usage.ru_maxrss);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool fired_ = false;
};

} // namespace

void installStartupProbe(QWidget* window) {
    if (qEnvironmentVariableIsEmpty("KABRELO_STARTUP_PROBE")) return;
    window->installEventFilter(new Probe(window));
}

} // namespace kab::tk
