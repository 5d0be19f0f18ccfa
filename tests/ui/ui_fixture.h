#pragma once
// A window on a temporary Zova.ini with the Qt call-over and a recording host.

#include <QApplication>
#include <memory>
#include <string>

#include "core/mainthread.h"
#include "core/station.h"
#include "support/test_support.h"
#include "ui/main_window.h"
#include "ui/qt_callover.h"

namespace zova::ui::test {

struct WindowRig {
  explicit WindowRig(const std::string& ini) : ini_(ini) {
    MainThread::Install(&callOver);
    station = std::make_unique<Station>();
    window = std::make_unique<MainWindow>(*station);
  }
  ~WindowRig() {
    window.reset();
    station.reset();
    MainThread::Install(nullptr);
  }
  zova::test::ScopedIni ini_;
  QtCallOver callOver;
  std::unique_ptr<Station> station;
  std::unique_ptr<MainWindow> window;
};

}  // namespace zova::ui::test
