// The DC2 driver through the real station and the simulated DC2 control: a
// send opened with DC2 and let go by XON, one the control never lets go, and
// a control that announces its program with DC2.

#include <gtest/gtest.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kProgram = "O1000 (BRAKETT)\r\nG0 X1\r\nG1 X2 F50\r\nM30\r\n";

// The control waits for the station while it starts and takes its order:
// generous on a loaded machine or under a sanitizer.
const std::string kWait = " --timeout 30000";

struct Dc2 : StationFixture {
  std::string ini;

  void SetUp() override {
    ini = WriteIni(1, "StoppKode=%\r\n", "", OwnWebPort());
    UseProtocol(ini, "DC2");
  }
  // The control makes its line before the station starts (the station opens
  // it at once).
  std::unique_ptr<Process> Dc2Control(const std::string& command) {
    return Control(1, {"wait-open --timeout 30000", command}, "dc2");
  }
};

const std::string kRunning = "1 Status: Kj\xC3\xB8rer kommunikasjon";

TEST_F(Dc2, SendGoesOutOnceTheControlAnswersXon) {
  WriteFile(MachineDir(1) + "O1000.NC", kProgram);
  auto control = Dc2Control("dc2-receive " + (dir / "got.nc") + kWait);
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "O1000.NC"}), 0);
  Expect(*station, "1 Status: DC2 protokoll aktivert");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  const std::string got = ReadFile(dir / "got.nc");
  EXPECT_NE(got.find(kProgram), std::string::npos) << got;
  EXPECT_EQ(got.find('\x12'), std::string::npos) << "one DC2 was enough: " << got;
  for (const std::string& l : station->Lines())
    EXPECT_EQ(l.find("Xon startet ikke"), std::string::npos) << l;
  Stop(*station);
}

TEST_F(Dc2, ControlThatNeverAnswersStillGetsTheProgram) {
  WriteFile(MachineDir(1) + "O1000.NC", kProgram);
  auto control = Dc2Control("dc2-receive " + (dir / "got.nc") + " --no-xon" + kWait);
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "O1000.NC"}), 0);
  Expect(*station, "1 Melding: Xon startet ikke overf\xC3\xB8ringen");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_NE(ReadFile(dir / "got.nc").find(kProgram), std::string::npos);
  Stop(*station);
}

TEST_F(Dc2, ControlStartingWithDc2GetsXonAndItsProgramIsStored) {
  WriteFile(dir / "p1.nc", kProgram);
  auto control = Dc2Control("dc2-punch " + (dir / "p1.nc") + kWait);
  auto station = Station(ini);
  Expect(*station, "1 Status: Data lagret");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "BRAKETT.NC"), kProgram);
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
