#pragma once
// The window front end: QApplication, the Qt call-over, the dialog host, the
// main window and the answer to a second start. Returns the exit code.

#include "core/single_instance.h"

namespace zova::ui {

class MainWindow;
class QtCallOver;

// A second start of the station brings Window forward. The listener thread
// only queues the request; the window itself is touched on the GUI thread,
// and not at all once it is gone.
void RaiseOnSecondStart(zova::SingleInstance& instance, QtCallOver& callOver, MainWindow& window);

int RunWindow(int argc, char** argv, zova::SingleInstance& instance);

}  // namespace zova::ui
