#pragma once
// The window front end: QApplication, the Qt call-over, the dialog host, the
// main window and the answer to a second start. Returns the exit code.

#include "core/single_instance.h"

namespace zova::ui {

int RunWindow(int argc, char** argv, zova::SingleInstance& instance);

}  // namespace zova::ui
