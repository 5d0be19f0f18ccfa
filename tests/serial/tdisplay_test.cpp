// The display driver over pseudo-terminals: the exact bytes a line display
// and a character display get, on the machine's line or a port of its own,
// and the main window's display for the kinds that have no line.

#include "serial/display/tdisplay.h"

#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/model/station_model.h"
#include "serial/pty_pair.h"
#include "support/test_support.h"

namespace zova {
namespace {

class Driver : public TDisplay {
 public:
  using TDisplay::DisplayCom;
  using TDisplay::OnStart;
  using TDisplay::OnThreadEnd;
  using TDisplay::OpenLine;
  using TDisplay::TDisplay;
};

const std::string kHead = "\x1b@\x1bR\t\f";

struct TDisplayTest : ::testing::Test {
  StationModel model{2};
  UiLinks links;
  test::ScopedUiHost ui;
  ManualClock clock;
  ScopedClock scoped{clock};
  test::TempDir dir;
  test::PtyPair machine, display;
  std::unique_ptr<test::ScopedIni> ini;
  std::unique_ptr<Driver> d;

  TDisplayTest() { links.model = &model; }

  void Make(const std::string& machineKeys) {
    ASSERT_TRUE(machine.Ok() && display.Ok());
    ini = std::make_unique<test::ScopedIni>(
        "[Program]\nTemp=" + dir.Path() + "\n[Maskin1]\nPort=COM1\nKatalog=" + dir.Path() + "\n" +
        machineKeys + "\n[COM1]\nEnhet=" + machine.SlavePath() + "\nKode=ASCII\n[COM2]\nEnhet=" +
        display.SlavePath() + "\nKode=ASCII\n[COM9]\nEnhet=" + (dir / "no-such-tty") + "\n");
    d = std::make_unique<Driver>(links, model.Request(1), 1);
    d->OpenLine();
    ASSERT_TRUE(d->PortOpen);
  }
  // Everything that came, once Want bytes did (or nothing more comes).
  static std::string Got(const test::PtyPair& p, size_t want) {
    std::string out = p.Receive(want, 2000);
    return out + p.Receive(1, 50);
  }
};

TEST_F(TDisplayTest, CharacterDisplayOnTheMachinesLineShowsStartAndStop) {
  Make("Display=20\n");
  d->OnStart();
  const std::string started = "\x0e" + kHead + "     Kvist-Zova\r\n      startet";
  EXPECT_EQ(Got(machine, started.size()), started);
  d->ShowOnDisplay(true, "Sender", "O1000");
  const std::string shown = kHead +
                            "\x1f"
                            "E\n       Sender\r\n       O1000";
  EXPECT_EQ(Got(machine, shown.size()), shown);
  d->OnThreadEnd();
  const std::string stopped = kHead + "     Kvist-Zova\r\n      stoppet";
  EXPECT_EQ(Got(machine, stopped.size()), stopped);
}

TEST_F(TDisplayTest, LineDisplayShowsTheSecondTextAndNoStartOrStop) {
  Make("Display=2\n");
  d->OnStart();
  d->ShowOnDisplay(false, "ignored", "Mottar \xE6");
  d->OnThreadEnd();
  const std::string want = "#ST\r\n#ER Mottar \xE6\r\n#EN\r\n";
  EXPECT_EQ(Got(machine, want.size()), want);
  d.reset();
  ini.reset();
  Make("Display=16\n");
  d->OnStart();
  d->OnThreadEnd();
  EXPECT_EQ(machine.Receive(1, 100), "") << "start and stop from 17 columns";
}

TEST_F(TDisplayTest, DisplayPortIsALineOfItsOwn) {
  Make("Display=17\nDisplayPort=COM2\nDisplayLinjer=1\nDisplayTegnSett=2\n");
  d->OnStart();
  const std::string started = "\x0e\r\n     startet";
  EXPECT_EQ(Got(display, started.size()), started);
  d->ShowOnDisplay(false, "", "\xD8ving");
  const std::string shown = "\r\n      \\ving";
  EXPECT_EQ(Got(display, shown.size()), shown);
  d->OnThreadEnd();
  const std::string stopped = "\r\n     stoppet";
  EXPECT_EQ(Got(display, stopped.size()), stopped);
  EXPECT_FALSE(d->DisplayCom.Handle) << "the display's own port is closed at the end";
  EXPECT_EQ(machine.Receive(1, 100), "") << "nothing for the display on the machine's line";
}

TEST_F(TDisplayTest, DisplayPortThatCannotOpenShowsNothing) {
  Make("Display=20\nDisplayPort=COM9\n");
  d->OnStart();
  EXPECT_NE(model.Cell(kColStatus, 1).find("COM9"), std::string::npos) << model.Cell(kColStatus, 1);
  d->ShowOnDisplay(false, "Sender", "O1000");
  d->OnThreadEnd();
  EXPECT_EQ(machine.Receive(1, 100), "") << "not on the machine's line instead";
}

TEST_F(TDisplayTest, WindowKindsGoToTheMainWindowsDisplay) {
  for (const char* keys : {"Display=1\n", "Display=3\n"}) {
    SCOPED_TRACE(keys);
    d.reset();
    ini.reset();
    Make(keys);
    model.SetDisplay("");
    d->OnStart();
    d->ShowOnDisplay(false, "Sender", "O1000");
    EXPECT_TRUE(model.DisplayWindow().visible);
    EXPECT_EQ(model.DisplayWindow().text, "Sender O1000");
    EXPECT_EQ(machine.Receive(1, 100), "") << "nothing on the line";
  }
}

}  // namespace
}  // namespace zova
