#pragma once
// A window on a temporary Zova.ini with the Qt call-over, and helpers that
// answer the window's dialogs as an operator would.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/mainthread.h"
#include "core/station.h"
#include "support/test_support.h"
#include "ui/main_window.h"
#include "ui/qt_callover.h"
#include "ui/qt_uihost.h"

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
  StationModel& Model() { return station->Model(); }
  zova::test::ScopedIni ini_;
  QtCallOver callOver;
  std::unique_ptr<Station> station;
  std::unique_ptr<MainWindow> window;
};

// Waits for Condition while the GUI thread keeps processing events; bounded
// so a broken window fails the test instead of hanging it.
inline bool SpinUntil(const std::function<bool()>& condition) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    std::this_thread::yield();
  }
  return true;
}

// Installs the real dialog host; every dialog shown is recorded and answered
// by pressing the button with the given label.
struct DialogAnswerer {
  explicit DialogAnswerer(std::string label) : answer(std::move(label)) {
    previous = CurrentUiHost();
    SetUiHost(&host);
    SetModalHook([this](QDialog* d) {
      ++shown;
      title = d->windowTitle();
      if (auto* box = qobject_cast<QMessageBox*>(d)) {
        text = box->text();
        for (QAbstractButton* b : box->buttons())
          if (b->text() == QString::fromUtf8(answer.c_str())) {
            b->click();
            return;
          }
      }
      if (onDialog) onDialog(d);
    });
  }
  ~DialogAnswerer() {
    SetModalHook(nullptr);
    SetUiHost(previous);
  }
  QtUiHost host;
  UiHost* previous;
  std::string answer;
  std::function<void(QDialog*)> onDialog;
  int shown = 0;
  QString title, text;
};

}  // namespace zova::ui::test
