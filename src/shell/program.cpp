#include "shell/program.h"

#include "shell/unit1.h"
#include "toolkit/application.h"
#include "toolkit/instancelock.h"
#include "toolkit/startupprobe.h"

namespace kab {

int runProgram(int argc, char** argv) {
    // Held for the process's life; the kernel drops it at exit.
    static tk::InstanceLock lock("_kabrelo24");
    if (!lock.acquired()) return 0;

    tk::SystemEnvironment env;
    tk::Application app(argc, argv, env);
    TForm1 form(env);
    tk::installStartupProbe(&form);
    form.show();
    // Without a window manager nothing activates the window for us.
    form.activateWindow();
    return app.exec();
}

} // namespace kab
