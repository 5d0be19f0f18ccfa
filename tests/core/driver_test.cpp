// The driver base and the machine set, with a test driver class and the
// headless call-over served by the test thread.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/clock.h"
#include "core/driver/machine_set.h"
#include "core/driver/protocol_table.h"
#include "core/globals.h"
#include "core/mainthread.h"
#include "support/test_support.h"

namespace zova {
namespace {

// Counts main-thread calls and runs them at once on the calling thread.
class CountingCallOver : public CallOver {
 public:
  void Invoke(const std::function<void()>& fn) override {
    ++calls;
    fn();
  }
  bool ServeFor(int64_t, const std::function<bool()>& done) override { return done && done(); }
  bool IsMainThread() const override { return false; }
  int calls = 0;
};

class ProbeDriver : public TMsg {
 public:
  using TMsg::TMsg;
  using TMsg::Vis;
  void Execute() override {}
};

struct ConsoleBatching : ::testing::Test {
  ConsoleBatching() { MainThread::Install(&callOver); }
  ~ConsoleBatching() override { MainThread::Install(nullptr); }
  CountingCallOver callOver;
  StationModel model{3};
};

TEST_F(ConsoleBatching, FortyOneBytesWaitTheFortySecondFlushesThem) {
  test::ScopedIni ini("[Program]\r\nDemo=True\r\n");
  UiLinks links;
  links.model = &model;
  ProbeDriver d(links, model.Request(1), 1);
  model.Console().Hold(1, false, true);
  for (int i = 0; i < 41; ++i) d.ConsoleWrite(false, false, i + 1, "A");
  EXPECT_EQ(callOver.calls, 0);
  d.ConsoleWrite(false, false, 42, "B");
  EXPECT_EQ(callOver.calls, 1);
  EXPECT_EQ(model.Console().LineAt(1).text, std::string(41, 'A'));
  EXPECT_EQ(model.Cell(kColTegn, 1), "42");  // the count of the latest call
  d.FlushConsole();
  EXPECT_EQ(model.Console().LineAt(1).text, std::string(41, 'A') + "B");
}

TEST_F(ConsoleBatching, DirectionAndLineEndChangesFlush) {
  test::ScopedIni ini("[Program]\r\nDemo=True\r\n");
  UiLinks links;
  links.model = &model;
  ProbeDriver d(links, model.Request(1), 1);
  model.Console().Hold(1, false, true);
  d.ConsoleWrite(false, false, 1, "G1");
  d.ConsoleWrite(false, true, 2, "X");  // received after sent: the sent text goes first
  EXPECT_EQ(callOver.calls, 1);
  EXPECT_EQ(model.Console().LineAt(1).colours[0], ConsoleColour::Blue);
  d.ConsoleWrite(false, true, 3, "\r\n");
  d.ConsoleWrite(false, true, 4, "Y");  // text without line end after one with it
  EXPECT_EQ(callOver.calls, 2);
  d.FlushConsole();
  EXPECT_EQ(model.Console().LineAt(1).text, "G1X[CR][LF]");
  EXPECT_EQ(model.Console().LineAt(2).text, "Y");
  EXPECT_EQ(model.Console().LineAt(2).colours[0], ConsoleColour::Green);
}

TEST_F(ConsoleBatching, ProgramVisOverridesTheMachine) {
  {
    test::ScopedIni ini("[Program]\r\nVis=False\r\nDemo=True\r\n[Maskin1]\r\nVis=True\r\n");
    UiLinks links;
    links.model = &model;
    ProbeDriver d(links, model.Request(1), 1);
    EXPECT_FALSE(d.Vis);
  }
  {
    test::ScopedIni ini("[Maskin1]\r\nVis=False\r\n");
    UiLinks links;
    links.model = &model;
    ProbeDriver d(links, model.Request(1), 1);
    EXPECT_FALSE(d.Vis);
    d.ConsoleWrite(false, false, 5, "abc");
    d.FlushConsole();
    EXPECT_EQ(callOver.calls, 0);
  }
}

TEST_F(ConsoleBatching, AMachineThatDoesNotHoldTheConsoleCallsOnlyForItsCount) {
  test::ScopedIni ini("[Program]\r\nDemo=True\r\n");
  ManualClock clock;
  ScopedClock scoped(clock);
  UiLinks links;
  links.model = &model;
  ProbeDriver d(links, model.Request(1), 1);
  model.Console().Hold(2, false, true);  // another machine's transfer is on the console
  int count = 0;
  auto line = [&] {
    d.ConsoleWrite(false, true, ++count, "G1 X2");
    d.ConsoleWrite(false, true, ++count, "\r\n");
  };
  for (int i = 0; i < 10; ++i) line();
  EXPECT_EQ(callOver.calls, 1) << "one call for ten lines within the interval";
  clock.Advance(500);
  line();
  line();
  EXPECT_EQ(callOver.calls, 2);
  EXPECT_EQ(model.Cell(kColTegn, 1), "21") << "the count when the second batch went";
  line();
  d.FlushConsole();  // a driver's own flush always leaves the count right
  EXPECT_EQ(callOver.calls, 3);
  EXPECT_EQ(model.Cell(kColTegn, 1), "26");
  EXPECT_EQ(model.Console().LineAt(1).text, "") << "none of it was the holder's text";

  // Holding the console, every line is shown as it comes.
  model.Console().Hold(2, true, true);
  model.Console().Hold(1, false, true);
  callOver.calls = 0;
  for (int i = 0; i < 3; ++i) line();
  EXPECT_EQ(callOver.calls, 2);
  d.FlushConsole();
  EXPECT_EQ(model.Console().LineAt(1).text, "G1 X2[CR][LF]");
}

TEST(RequestHandover, AnOrderIsTakenExactlyOnce) {
  test::ScopedIni ini("");
  StationModel model(5);
  UiLinks links;
  links.model = &model;
  ProbeDriver d3(links, model.Request(3), 3), d2(links, model.Request(2), 2);
  MachineRequest& shared = model.Request(3);
  shared.Send = true;
  shared.Send = true;  // placed twice before the driver looks
  shared.OrderText = "O1000.NC";
  shared.OrderValue2 = 7;
  d3.SyncFetchRequest();
  EXPECT_TRUE(d3.Request.Send);
  EXPECT_EQ(d3.Request.OrderText, "O1000.NC");
  EXPECT_FALSE(shared.Send);
  EXPECT_EQ(shared.OrderText, "");
  EXPECT_EQ(shared.OrderValue2, 7);
  d3.SyncFetchRequest();
  EXPECT_FALSE(d3.Request.Send);

  Globals().SendToMachine = 3;
  d2.SyncFetchRequest();
  EXPECT_FALSE(d2.Request.Send);
  EXPECT_EQ(Globals().SendToMachine, 3);
  d3.SyncFetchRequest();
  EXPECT_TRUE(d3.Request.Send);
  EXPECT_EQ(Globals().SendToMachine, 0);
}

TEST(RequestHandover, ResultsAreSetNeverCleared) {
  test::ScopedIni ini("");
  StationModel model(1);
  UiLinks links;
  links.model = &model;
  ProbeDriver d(links, model.Request(1), 1);
  d.Request.ResultFlag1 = true;
  d.Request.ResultState = 1;
  d.Request.ResultName = "P1";
  d.Request.ResultValues = {3, 1, 2, 3, 4, 5};
  d.Request.ResultInt = 9;
  d.SyncStoreResult();
  MachineRequest& s = model.Request(1);
  EXPECT_TRUE(s.ResultFlag1);
  EXPECT_EQ(s.ResultState, 1);
  EXPECT_EQ(s.ResultName, "P1");
  EXPECT_EQ(s.ResultValues[5], 5);
  EXPECT_EQ(d.Request.ResultState, 2);
  EXPECT_FALSE(d.Request.ResultFlag1);
  d.Request.ResultInt = 0;
  d.SyncStoreResult();  // nothing new: flags, state and name stay
  EXPECT_TRUE(s.ResultFlag1);
  EXPECT_EQ(s.ResultState, 1);
  EXPECT_EQ(s.ResultName, "P1");
  EXPECT_EQ(s.ResultInt, 0);
}

TEST(SharedText, OfferOnAFullSlotChangesNothing) {
  test::ScopedIni ini("");
  StationModel model(1);
  model.Request(1).SharedText = std::make_shared<std::string>();
  UiLinks links;
  links.model = &model;
  ProbeDriver d(links, model.Request(1), 1);
  std::string text = "first";
  EXPECT_TRUE(d.OfferSharedText(text));
  EXPECT_EQ(text, "");
  std::string second = "second";
  EXPECT_FALSE(d.OfferSharedText(second));
  EXPECT_EQ(second, "second");
  EXPECT_EQ(*model.Request(1).SharedText, "first");
  d.PutSharedText(std::string(300, 'x'));
  EXPECT_EQ(model.Request(1).SharedText->size(), 255u);
}

// --- machine set ---

enum class Behaviour { RunUntilTerminated, EndAtOnce, IgnoreTerminate };

std::atomic<Behaviour> g_behaviour{Behaviour::RunUntilTerminated};
std::atomic<bool> g_release{false};
std::atomic<int> g_created{0};

class TestDriver : public TMsg {
 public:
  using TMsg::TMsg;
  void Execute() override {
    SetCell(kColStatus, "Kjører");
    Behaviour b = g_behaviour.load();
    while (b != Behaviour::EndAtOnce) {
      if (b == Behaviour::RunUntilTerminated && Terminated()) break;
      if (b == Behaviour::IgnoreTerminate && g_release.load()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
};

struct MachineSetTest : ::testing::Test {
  MachineSetTest() {
    g_behaviour = Behaviour::RunUntilTerminated;
    g_release = false;
    g_created = 0;
    RegisterDriverClass("TZova", [](const UiLinks& l, MachineRequest& r, int n) {
      ++g_created;
      return std::make_unique<TestDriver>(l, r, n);
    });
    MainThread::Install(&callOver);
  }
  ~MachineSetTest() override {
    MainThread::Install(nullptr);
    UnregisterDriverClass("TZova");
  }
  QueueCallOver callOver;
  ManualClock clock;
  ScopedClock useClock{clock};
};

TEST_F(MachineSetTest, StartsKnownKindsAndReportsTheRest) {
  test::ScopedIni ini(
      "[Program]\r\nMaskiner=5\r\nExt=.NC\r\n[Maskin1]\r\nProtokoll=standard\r\n"
      "[Maskin2]\r\nProtokoll=INGEN\r\nExt=.H\r\n[Maskin3]\r\nProtokoll=XYZ\r\n"
      "[Maskin4]\r\nProtokoll=AGV\r\n[Maskin5]\r\nProtokoll=LSV2\r\n");
  test::ScopedUiHost ui;
  StationModel model(5);
  UiLinks links;
  {
    MachineSet set(model, links);
    set.StartAllMachines();
    EXPECT_TRUE(set.HasDriver(1));
    EXPECT_EQ(set.RunningCount(), 1);
    EXPECT_EQ(model.Cell(kColStatus, 2), "Maskin ikke aktiv");
    EXPECT_EQ(model.Cell(kColFilnavn, 2), "0000.H");
    EXPECT_EQ(model.Cell(kColFilnavn, 3), "0000.NC");
    ASSERT_EQ(ui.host.NoticeCount(), 1u);  // INGEN and AGV raise no box
    EXPECT_EQ(ui.host.Notices()[0].caption, "Maskin3");
    EXPECT_EQ(ui.host.Notices()[0].text, "Ugyldig protokoll: XYZ");
    EXPECT_TRUE(model.Request(4).SharedText != nullptr);
    EXPECT_FALSE(set.HasDriver(4));
    EXPECT_TRUE(set.IsTwoWay(5));  // LSV2 is two-way even without a driver class here
    EXPECT_FALSE(set.WasStarted(5));
    set.StopAll();
    EXPECT_EQ(set.RunningCount(), 0);
  }
}

TEST_F(MachineSetTest, MachineCountIsCappedAtOneHundred) {
  test::ScopedIni ini("[Program]\r\nMaskiner=150\r\n");
  EXPECT_EQ(MachineSet::ConfiguredMachineCount(), 100);
  StationModel model(MachineSet::ConfiguredMachineCount());
  UiLinks links;
  MachineSet set(model, links);
  set.StartAllMachines();
  EXPECT_EQ(g_created.load(), 100);
  EXPECT_FALSE(set.HasDriver(101));
  set.StopAll();
}

TEST_F(MachineSetTest, ADriverThatEndsByItselfClosesTheStation) {
  test::ScopedIni ini("[Program]\r\nMaskiner=1\r\n");
  g_behaviour = Behaviour::EndAtOnce;
  StationModel model(1);
  UiLinks links;
  MachineSet set(model, links);
  bool closed = false;
  set.onAllEnded = [&] { closed = true; };
  set.StartAllMachines();
  MainThread::ServeFor(5000, [&] { return closed; });
  EXPECT_TRUE(closed);
  EXPECT_FALSE(set.HasDriver(1));
  EXPECT_TRUE(set.WasStarted(1));
  EXPECT_EQ(model.Cell(kColStatus, 1), "Kjører");
}

TEST_F(MachineSetTest, RestartWaitsTwentySecondsForADriverThatWillNotStop) {
  test::ScopedIni ini("[Program]\r\nMaskiner=1\r\n");
  g_behaviour = Behaviour::IgnoreTerminate;
  StationModel model(1);
  UiLinks links;
  MachineSet set(model, links);
  set.StartAllMachines();
  int64_t before = clock.TickMs();
  EXPECT_FALSE(set.RestartMachine(1, false));
  EXPECT_GE(clock.TickMs() - before, 20000);
  EXPECT_TRUE(set.HasDriver(1));
  EXPECT_EQ(g_created.load(), 1);
  g_release = true;
  set.StopAll();
}

TEST_F(MachineSetTest, RestartStartsTheMachineAgain) {
  test::ScopedIni ini("[Program]\r\nMaskiner=1\r\n");
  StationModel model(1);
  UiLinks links;
  MachineSet set(model, links);
  bool closed = false;
  set.onAllEnded = [&] { closed = true; };
  set.StartAllMachines();
  model.SetCell(kColTegn, 1, "123");
  EXPECT_TRUE(set.RestartMachine(1, false));
  EXPECT_FALSE(closed);  // the restart is not the end of the station
  EXPECT_TRUE(set.HasDriver(1));
  EXPECT_EQ(g_created.load(), 2);
  EXPECT_EQ(model.Cell(kColTegn, 1), "");
  set.StopAll();
}

TEST_F(MachineSetTest, RestartTimerRestartsEndedMachinesOnly) {
  test::ScopedIni ini("[Program]\r\nMaskiner=2\r\n[Maskin2]\r\nProtokoll=INGEN\r\n");
  g_behaviour = Behaviour::EndAtOnce;
  StationModel model(2);
  UiLinks links;
  MachineSet set(model, links);
  set.StartAllMachines();
  MainThread::ServeFor(5000, [&] { return !set.HasDriver(1); });
  g_behaviour = Behaviour::RunUntilTerminated;
  set.RestartEndedMachines();
  EXPECT_TRUE(set.HasDriver(1));
  EXPECT_EQ(model.Cell(kColTegn, 1), "<R>");
  EXPECT_EQ(model.Cell(kColTegn, 2), "");
  EXPECT_FALSE(set.HasDriver(2));
  set.StopAll();
}

}  // namespace
}  // namespace zova

namespace zova {
namespace {

TEST(Display, AlarmWithKvitterAlarmIsAModalBoxOtherwiseTheWindow) {
  ManualClock clock;
  ScopedClock use(clock);
  test::ScopedUiHost ui;
  StationModel model(2);
  UiLinks links;
  links.model = &model;
  {
    test::ScopedIni ini("[Maskin1]\r\nKvitterAlarm=True\r\n");
    ProbeDriver d(links, model.Request(1), 1);
    d.ShowDisplay(true, "Verktøy brudd");
    ASSERT_EQ(ui.host.NoticeCount(), 1u);
    EXPECT_EQ(ui.host.Notices()[0].caption, "Feil");
    EXPECT_FALSE(model.DisplayWindow().visible);
  }
  test::ScopedIni ini("");
  ProbeDriver d(links, model.Request(2), 2);
  int64_t t0 = clock.TickMs();
  d.ShowDisplay(true, "ALARM");
  EXPECT_TRUE(model.DisplayWindow().visible);
  EXPECT_EQ(model.DisplayWindow().text, "ALARM");
  EXPECT_EQ(clock.TickMs() - t0, 2500);
  d.ShowDisplay(false, "Vent");
  EXPECT_EQ(clock.TickMs() - t0, 3500);
  d.ShowDisplayText(false, "Vent litt");
  EXPECT_EQ(clock.TickMs() - t0, 3500);
  d.ConsoleBeginTransfer();
  EXPECT_EQ(model.ActiveLabel(), "");  // cell 0 of an unnamed row
  d.ConsoleEndTransfer();              // closes the display window and releases the console
  EXPECT_FALSE(model.DisplayWindow().visible);
  EXPECT_EQ(model.ActiveLabel(), "Siste maskin - ");
  EXPECT_EQ(model.Console().Holder(), 0);
}

}  // namespace
}  // namespace zova
