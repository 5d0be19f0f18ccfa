// Drivers on their own threads against the real window: the close procedure
// serves their calls until every one has ended, a modal box of the window
// holds their calls until it is answered, a notice raised by one driver holds
// only that driver, and a second start brings the window forward.

#include <gtest/gtest.h>

#include <unistd.h>
#include <QTableWidget>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "core/clock.h"
#include "core/driver/protocol_table.h"
#include "core/latin1.h"
#include "core/single_instance.h"
#include "ui/run_window.h"
#include "ui_fixture.h"

namespace zova::ui::test {
namespace {

// What the test driver does on its thread; set before the machines start.
std::function<void(TMsg&)> g_script;

class ScriptedDriver : public TMsg {
 public:
  using TMsg::TMsg;
  void Execute() override {
    if (g_script) g_script(*this);
  }
};

// A driver with nothing to do until it is told to end.
void IdleUntilTerminated(TMsg& d) {
  while (!d.Terminated()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Events are processed for a few milliseconds, long enough for a queued
// call's wake-up to arrive, so a call that was not held would have run.
void ProcessEventsBriefly() {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
  while (std::chrono::steady_clock::now() < end)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

struct DriverTest : ::testing::Test {
  DriverTest() {
    RegisterDriverClass("TZova", [](const UiLinks& l, MachineRequest& r, int n) {
      return std::make_unique<ScriptedDriver>(l, r, n);
    });
  }
  ~DriverTest() override {
    g_script = nullptr;
    UnregisterDriverClass("TZova");
  }
  ManualClock clock;
  ScopedClock useClock{clock};
  zova::test::ScopedUiHost host;
};

TEST_F(DriverTest, CloseServesBlockedDriversUntilEveryOneHasEnded) {
  std::atomic<int> calling{0};
  g_script = [&](TMsg& d) {
    ++calling;
    d.SetCell(kColMelding, "Kaller");  // waits: the GUI thread is busy with the test
    IdleUntilTerminated(d);
    // Winding down takes many more calls; the window must keep serving them.
    for (int i = 1; i <= 50; ++i) d.SetCell(kColTegn, std::to_string(i));
    d.SetCell(kColStatus, "Stoppet");
  };
  WindowRig rig("[Program]\nMaskiner=3\n");
  MachineSet& machines = rig.station->Machines();
  rig.window->Start();
  ASSERT_EQ(machines.RunningCount(), 3);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (rig.callOver.Waiting() < 3 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  ASSERT_EQ(rig.callOver.Waiting(), 3u);
  EXPECT_EQ(rig.Model().Cell(kColMelding, 1), "");

  EXPECT_TRUE(rig.window->close());
  EXPECT_TRUE(rig.window->Closing());
  EXPECT_EQ(machines.RunningCount(), 0);
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    EXPECT_FALSE(machines.HasDriver(n));
    EXPECT_EQ(rig.Model().Cell(kColMelding, n), "Kaller");
    EXPECT_EQ(rig.Model().Cell(kColTegn, n), "50");
    EXPECT_EQ(rig.Model().Cell(kColStatus, n), "Stoppet");
  }
  EXPECT_EQ(rig.callOver.Waiting(), 0u);
}

TEST_F(DriverTest, CloseAsksFirstAndNoLeavesTheDriversRunning) {
  g_script = [](TMsg& d) {
    IdleUntilTerminated(d);
    d.SetCell(kColStatus, "Stoppet");
  };
  DialogAnswerer dialogs("Nei");
  WindowRig rig("[Program]\nVisAvsluttBoks=True\n");
  rig.window->Start();
  EXPECT_FALSE(rig.window->close());
  EXPECT_EQ(dialogs.shown, 1);
  EXPECT_EQ(dialogs.title, "Avslutte Kvist-Kommunikasjon");
  EXPECT_EQ(dialogs.text,
            QString::fromUtf8("CNC-overføringen vil bli stoppet.\n\nAvslutte likevel ?"));
  EXPECT_TRUE(rig.station->Machines().HasDriver(1));
  dialogs.answer = "Ja";
  EXPECT_TRUE(rig.window->close());
  EXPECT_EQ(dialogs.shown, 2);
  EXPECT_EQ(rig.Model().Cell(kColStatus, 1), "Stoppet");
}

TEST_F(DriverTest, ACloseDuringARestartWaitsForTheRestartThenStopsEveryDriver) {
  std::atomic<int> runs{0};
  g_script = [&](TMsg& d) {
    ++runs;
    IdleUntilTerminated(d);
  };
  WindowRig rig("[Program]\nMaskiner=2\n");
  MainWindow& w = *rig.window;
  MachineSet& machines = rig.station->Machines();
  w.Start();
  w.SelectCell(0, 1);
  w.PrepareMenu(true);
  // Arrives while the restart waits for machine 1 to stop.
  QTimer::singleShot(0, &w, [&] { w.close(); });
  w.MenuAction(MainWindow::kRestart)->trigger();
  EXPECT_FALSE(w.Closing());
  EXPECT_TRUE(machines.HasDriver(1));  // the restart was carried out
  ASSERT_TRUE(SpinUntil([&] { return w.Closing(); }));
  EXPECT_EQ(machines.RunningCount(), 0);
  EXPECT_EQ(runs.load(), 3);
}

TEST_F(DriverTest, ADriverCallWaitsUntilTheOpenBoxIsAnswered) {
  std::atomic<bool> go{false}, fetched{false}, sawSend{false};
  g_script = [&](TMsg& d) {
    while (!go && !d.Terminated()) std::this_thread::yield();
    if (d.Terminated()) return;
    d.SyncFetchRequest();  // the order the operator is being asked about
    sawSend = d.Request.Send;
    fetched = true;
    IdleUntilTerminated(d);
  };
  DialogAnswerer dialogs("");  // answered by hand below
  WindowRig rig("[Program]\n[Maskin1]\nNavn=Dmg\n");
  bool heldWhileOpen = false;
  dialogs.onDialog = [&](QDialog* box) {
    go = true;
    heldWhileOpen = SpinUntil([&] { return rig.callOver.Waiting() == 1; });
    ProcessEventsBriefly();
    heldWhileOpen = heldWhileOpen && !fetched && rig.callOver.Waiting() == 1;
    for (QAbstractButton* b : qobject_cast<QMessageBox*>(box)->buttons())
      if (b->text() == "OK") b->click();
  };
  rig.window->Start();
  rig.Model().SetCell(1, 1, "O1.NC");
  rig.window->SelectCell(2, 1);
  rig.window->GridDoubleClick();
  EXPECT_EQ(dialogs.shown, 1);
  EXPECT_EQ(dialogs.title, "Sende fil til DMG");
  EXPECT_TRUE(heldWhileOpen);
  ASSERT_TRUE(SpinUntil([&] { return fetched.load(); }));
  EXPECT_TRUE(sawSend);  // the driver waited for the answer and found the order
}

TEST_F(DriverTest, ANoticeFromADriverHoldsOnlyThatDriver) {
  std::atomic<bool> noticeDone{false}, otherReported{false};
  g_script = [&](TMsg& d) {
    if (d.MachineNo() == 1) {
      ShowNotice("Maskin1", "Linjefeil");
      noticeDone = true;
    } else {
      while (!noticeDone && !d.Terminated() && !d.Request.Send) {
        d.SyncFetchRequest();  // a call-over each round while the notice is open
        if (d.Request.Send) otherReported = true;
      }
    }
    IdleUntilTerminated(d);
  };
  DialogAnswerer dialogs("OK");
  WindowRig rig("[Program]\nMaskiner=2\n");
  bool otherRanWhileOpen = false;
  dialogs.answer = "";
  dialogs.onDialog = [&](QDialog* box) {
    rig.Model().Request(2).Send = true;
    otherRanWhileOpen = SpinUntil([&] { return otherReported.load(); });
    for (QAbstractButton* b : qobject_cast<QMessageBox*>(box)->buttons()) b->click();
  };
  rig.window->Start();
  ASSERT_TRUE(SpinUntil([&] { return noticeDone.load(); }));
  EXPECT_EQ(dialogs.title, "Maskin1");
  EXPECT_EQ(dialogs.text, "Linjefeil");
  EXPECT_TRUE(otherRanWhileOpen);
}

TEST_F(DriverTest, NoticesRaisedWhileTheStationClosesAreLoggedNotShown) {
  g_script = [](TMsg& d) {
    IdleUntilTerminated(d);
    // A line that fails while its driver stops, as a control's does when it
    // is switched off with the station.
    ShowNotice("Xon mottatt", L1("Klarer ikke å bytte til software"));
    d.SetCell(kColStatus, "Stoppet");
  };
  DialogAnswerer dialogs("OK");  // a box, if one came, would not hang the test
  WindowRig rig("[Program]\nMaskiner=2\n");
  rig.window->Start();
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(rig.window->close());
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(dialogs.shown, 0);
  EXPECT_NE(log.find("melding [Xon mottatt] Klarer ikke \xC3\xA5 bytte til software"),
            std::string::npos)
      << log;
  EXPECT_EQ(rig.Model().Cell(kColStatus, 2), "Stoppet");
  EXPECT_FALSE(dialogs.host.Unattended()) << "an operator's close leaves the window attended";
}

TEST_F(DriverTest, AStopSignalClosesTheOpenBoxAndThenTheStation) {
  std::atomic<bool> noticeDone{false};
  g_script = [&](TMsg& d) {
    if (d.MachineNo() == 1) ShowNotice("Maskin1", "Linjefeil");
    noticeDone = true;
    IdleUntilTerminated(d);
  };
  DialogAnswerer dialogs("");  // nobody presses anything
  WindowRig rig("[Program]\n");
  dialogs.onDialog = [&](QDialog*) { rig.window->StopBySignal(); };
  rig.window->Start();
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(SpinUntil([&] { return rig.window->Closing(); }));
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(noticeDone) << "the driver went on once its box was closed";
  EXPECT_EQ(dialogs.shown, 1);
  EXPECT_EQ(rig.station->Machines().RunningCount(), 0);
  EXPECT_NE(log.find("melding [Maskin1] Linjefeil"), std::string::npos) << log;
  // Nobody answers from now on: questions get the answer that loses nothing.
  EXPECT_TRUE(dialogs.host.AskYesNo("Lagre", "Lagre data?", true));
  EXPECT_FALSE(dialogs.host.AskYesNo("Slette", "Slette filer?", false));
  EXPECT_EQ(dialogs.shown, 1);
}

TEST(SecondStart, BringsTheMinimisedWindowForward) {
  zova::test::TempDir runtime;
  setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  zova::test::ScopedUiHost host;
  WindowRig rig("[Program]\n[Maskin1]\nProtokoll=INGEN\n");
  {
    SingleInstance running("zova-ui-test");
    ASSERT_TRUE(running.Acquire());
    RaiseOnSecondStart(running, rig.callOver, *rig.window);
    rig.window->show();
    rig.window->showMinimized();
    ASSERT_TRUE(rig.window->isMinimized());
    // A second start is its own process; here its wait for the answer must
    // not hold the event loop that gives it.
    SingleInstance second("zova-ui-test");
    auto secondStart = std::async(std::launch::async, [&] { return second.Acquire(); });
    EXPECT_TRUE(SpinUntil([&] { return !rig.window->isMinimized(); }));
    EXPECT_TRUE(rig.window->isVisible());
    EXPECT_TRUE(SpinUntil([&] {
      return secondStart.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }));
    EXPECT_FALSE(secondStart.get());
    EXPECT_TRUE(second.Answered()) << "answered once the window came forward";
    running.StopListening();
  }
  unsetenv("XDG_RUNTIME_DIR");
  rig.window->hide();
}

}  // namespace
}  // namespace zova::ui::test
