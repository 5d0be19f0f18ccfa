#pragma once
// The window front end: QApplication, the Qt call-over, the dialog host, the
// main window and the answer to a second start. Returns the exit code.

#include <functional>
#include <memory>

#include "core/single_instance.h"
#include "core/station.h"

namespace zova::ui {

class MainWindow;
class QtCallOver;

// A second start of the station brings Window forward. The listener thread
// only queues the request; the window itself is touched on the GUI thread,
// and not at all once it is gone.
void RaiseOnSecondStart(zova::SingleInstance& instance, QtCallOver& callOver, MainWindow& window);

// Started with the station's machines and ended before they close: what the
// program adds beside the window (its web interface).
using StationAddOn = std::function<std::shared_ptr<void>(Station&)>;

// Witness is started before the machines and ended after them: what must see
// everything they do, their last records included (the published states).
int RunWindow(int argc, char** argv, zova::SingleInstance& instance, StationAddOn addOn = {},
              StationAddOn witness = {});

}  // namespace zova::ui
