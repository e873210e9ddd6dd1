#pragma once
// Every control of the main window, for tests and benchmarks that read and
// drive them.

#include "toolkit/button.h"
#include "toolkit/edit.h"
#include "toolkit/environment.h"
#include "toolkit/grid.h"
#include "toolkit/label.h"
#include "toolkit/memo.h"
#include "toolkit/pagecontrol.h"
#include "toolkit/panel.h"
#include "toolkit/picker.h"
#include "toolkit/shape.h"
#include "window/shell/blockstate.h"
#include "window/shell/unit1.h"

#include <QTimer>
