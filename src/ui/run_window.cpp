#include "ui/run_window.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include "core/mainthread.h"
#include "core/station.h"
#include "core/stop_signals.h"
#include "core/uihost.h"
#include "ui/main_window.h"
#include "ui/qt_callover.h"
#include "ui/qt_uihost.h"

namespace zova::ui {

void RaiseOnSecondStart(zova::SingleInstance& instance, QtCallOver& callOver, MainWindow& window) {
  QPointer<MainWindow> target(&window);
  instance.Listen([&callOver, target](zova::SingleInstance::Answer answer) {
    callOver.Post([target, answer] {
      if (target) target->Raise();
      answer();
    });
  });
}

int RunWindow(int argc, char** argv, zova::SingleInstance& instance, StationAddOn addOn,
              StationAddOn witness) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);  // the close procedure decides when to quit
  QtCallOver callOver;
  MainThread::Install(&callOver);
  QtUiHost host;
  SetUiHost(&host);
  int code = 0;
  {
    Station station;
    std::shared_ptr<void> witnessed = witness ? witness(station) : nullptr;
    MainWindow window(station);
    host.SetParent(&window);
    RaiseOnSecondStart(instance, callOver, window);
    QTimer signalPoll;
    QObject::connect(&signalPoll, &QTimer::timeout, &window, [&window] {
      if (StopSignals::Take()) window.StopBySignal();
    });
    signalPoll.start(200);
    window.Start();
    // A stop signal taken in the loop of a box that the start raised may
    // have closed the station already; its quit came before this loop.
    std::shared_ptr<void> added;
    if (!window.Closed()) {
      added = addOn ? addOn(station) : nullptr;
      window.show();
      code = app.exec();
    }
    added.reset();
    // A late second start must not post to the call-over that ends here.
    instance.StopListening();
    // A quit that did not pass through the close procedure still stops every driver.
    station.Close();
    witnessed.reset();
    host.SetParent(nullptr);
  }
  SetUiHost(nullptr);
  MainThread::Install(nullptr);
  return code;
}

}  // namespace zova::ui
