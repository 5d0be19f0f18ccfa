// The Raskin line dialogue through the real station and the simulated
// Raskin control: orders given with `zova ctl`, checked by what the control
// got, what the station stored and the grid lines.

#include <gtest/gtest.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

struct Raskin : StationFixture {
  std::string ini;

  void SetUp() override {
    ini = WriteIni(1, "", "", OwnWebPort());
    UseProtocol(ini, "RASKIN");
  }
  std::unique_ptr<Process> RaskinControl(const std::string& command) {
    return Control(1, {"wait-open", command}, "raskin");
  }
};

const std::string kRunning = "1 Status: Kj\xC3\xB8rer kommunikasjon";

// The control waits for the station's first byte while the station starts
// and takes its order: generous on a loaded machine or under a sanitizer.
const std::string kWait = " --timeout 30000";

TEST_F(Raskin, SendGoesOutLineByLine) {
  const std::string program = "O1000 (BRAKETT)\r\nG0 X1\r\nM30\r\n";
  WriteFile(MachineDir(1) + "O1000.NC", program);
  auto control = RaskinControl("raskin-receive " + (dir / "got.nc") + kWait);
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "O1000.NC"}), 0);
  Expect(*station, "1 Status: Sending slutt");
  EXPECT_EQ(control->Wait(15000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), program);
  Stop(*station);
}

TEST_F(Raskin, RefusedLineStopsTheSendAndEotFollows) {
  WriteFile(MachineDir(1) + "O1000.NC", "O1000\r\nG0 X1\r\nG0 X2\r\nM30\r\n");
  auto control = RaskinControl("raskin-receive " + (dir / "got.nc") + " --nak-after 2" + kWait);
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "O1000.NC"}), 0);
  Expect(*station, "1 Melding: Overf\xC3\xB8ring avbrutt");
  // The control ends only at EOT; nothing after the refused line came.
  EXPECT_EQ(control->Wait(15000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), "O1000\r\nG0 X1\r\n");
  Stop(*station);
}

TEST_F(Raskin, FetchStoresTheWholeProgramPastABlankLine) {
  const std::string program = "O1234\r\nG0 X1\r\n\r\nG0 X2\r\nM30\r\n";
  WriteFile(dir / "served.nc", program);
  auto control =
      RaskinControl("raskin-serve " + (dir / "served.nc") + " --expect-request PC,1234" + kWait);
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"fetch", "1", "1234.NC"}), 0);
  Expect(*station, "1 Status: Data lagret");
  EXPECT_EQ(control->Wait(15000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "1234.NC"), program);
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
