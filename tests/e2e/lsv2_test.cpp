// The LSV2 driver through the real station and cncsim's LSV2 control: the
// control's requests and offers, the operator's send and fetch given with
// `zova ctl`, reports, the control's "T WA", a corrupt block and a
// collision. Checked by what the control got, what the station stored and
// the grid lines.

#include <gtest/gtest.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kProgram = "O1234 (FLENS)\r\nN10 G0 X10 Z2\r\nN20 G1 Z-30 F0.2\r\nN30 M30\r\n";
const std::string kWait = " --timeout 30000";
const std::string kRunning = "1 Status: Kj\xC3\xB8rer kommunikasjon";
const std::string kServed = "1 Status: Overf\xC3\xB8ring OK";

struct Lsv2 : StationFixture {
  std::string ini;

  void SetUp() override { ini = Ini(""); }
  std::string Ini(const std::string& keys, const std::string& program = "") {
    std::string path = WriteIni(1, keys, "", OwnWebPort() + program);
    UseProtocol(path, "LSV2");
    return path;
  }
  // The control waits until the station has opened (and purged) its line.
  std::unique_ptr<Process> Lsv2Control(const std::vector<std::string>& commands) {
    std::vector<std::string> all{"wait-open --timeout 30000", "wait 300"};
    all.insert(all.end(), commands.begin(), commands.end());
    return Control(1, all, "lsv2");
  }
  std::string Got() const { return dir / "got.nc"; }
  void Finish(Process& control, Process& station) {
    EXPECT_EQ(control.Wait(30000), 0) << control.Stderr();
    Stop(station);
  }
};

TEST_F(Lsv2, ControlsRequestIsServedWithTheSendDialogue) {
  WriteFile(MachineDir(1) + "1234.NC", kProgram);
  auto control = Lsv2Control({"lsv2-request 1234 " + Got() + kWait,
                              "lsv2-request 1234 " + (dir / "pt.nc") + " --pt" + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  Expect(*station, "1 Status: NC kommuniserer");
  Expect(*station, "1 Melding: Sender programkjerne");
  Expect(*station, kServed);
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(Got()), kProgram);
  EXPECT_EQ(ReadFile(dir / "pt.nc"), kProgram) << "the PT request in the PP area";
  Stop(*station);
}

TEST_F(Lsv2, RequestsForMissingOrBlockedProgramsAreRefused) {
  struct Case {
    const char* program;
    const char* command;
    const char* melding;
  } cases[] = {
      {"", "lsv2-request 4711 x --refused", "1 Melding: Filen eksisterer ikke"},
      {"", "lsv2-request 4711 x --pt --refused", "1 Melding: Filen eksisterer ikke"},
      {"FilSjekk=True\r\n", "lsv2-request 1234 x --refused",
       "1 Melding: Sperret for overf\xC3\xB8ring"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const std::string path = Ini("", c.program);
    WriteFile(MachineDir(1) + "1234.NC", kProgram);
    auto control = Lsv2Control({std::string(c.command) + kWait});
    auto station = Station(path);
    Expect(*station, c.melding);
    Expect(*station, "1 Status: Overf\xC3\xB8ring feilet");
    Finish(*control, *station);
  }
}

TEST_F(Lsv2, OfferedProgramsAreStored) {
  WriteFile(dir / "prog.nc", kProgram);
  const std::string second = "O77\r\nG0 X1\r\nM30\r\n";
  WriteFile(dir / "second.nc", second);
  auto control = Lsv2Control(
      {"lsv2-offer %1234 " + (dir / "prog.nc") + " --expect-request PTPP%1234[CR][LF]" + kWait,
       "lsv2-offer O77 " + (dir / "second.nc") + " --pr" + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  Expect(*station, kServed);
  EXPECT_EQ(ReadFile(MachineDir(1) + "1234.NC"), kProgram);
  Expect(*station, "1 Filnavn: O77.NC");
  Expect(*station, kServed);
  EXPECT_EQ(ReadFile(MachineDir(1) + "O77.NC"), second);
  Stop(*station);
}

TEST_F(Lsv2, TheControlsOwnSendDialogueIsTaken) {
  WriteFile(dir / "prog.nc", kProgram);
  auto control = Lsv2Control({"lsv2-test-send O12 " + (dir / "prog.nc") + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Mottar program for test");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  Expect(*station, kServed);
  EXPECT_EQ(ReadFile(MachineDir(1) + "O12.NC"), kProgram);
  Stop(*station);
}

TEST_F(Lsv2, OperatorsSendWaitsOutTheControlsWaitAnswers) {
  WriteFile(MachineDir(1) + "O1000.NC", kProgram);
  auto control = Lsv2Control(
      {"lsv2-receive " + Got() + " --wait 2 --wait-ms 100 --expect-name O1000" + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "O1000.NC"}), 0);
  Expect(*station, "1 Status: Sender program");
  Expect(*station, "1 Melding: Venter p\xC3\xA5 fortsettelse");
  Expect(*station, "1 Status: Program sendt");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(Got()), kProgram);
}

TEST_F(Lsv2, TestModusCountsASendAsDoneWithoutTheControl) {
  const std::string path = Ini("", "TestModus=True\r\n");
  WriteFile(MachineDir(1) + "O1000.NC", kProgram);
  // A control that takes nothing: a send that went to the line would fail.
  auto control = Lsv2Control({"wait 100"});
  auto station = Station(path);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(path, {"send", "1", "O1000.NC"}), 0);
  Expect(*station, "1 Status: Program sendt");
  Finish(*control, *station);
}

TEST_F(Lsv2, OperatorsFetchStoresWhatTheControlSends) {
  const std::string program = "O55\r\nG0 X1\r\nM30\r\n";
  auto control =
      Lsv2Control({"lsv2-expect PTPPO55[CR][LF]" + kWait, "lsv2-send \"M RT  \"",
                   "lsv2-expect \"T NB\"" + kWait, "lsv2-send \"R PPO55[CR][LF]G0 X1[CR][LF]\"",
                   "lsv2-expect \"T NB\"" + kWait, "lsv2-send \"R PPM30[CR][LF]\"",
                   "lsv2-expect \"T NB\"" + kWait, "lsv2-send \"T FD\""});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"fetch", "1", "O55.NC"}), 0);
  Expect(*station, "1 Status: Leser program");
  Expect(*station, "1 Status: Program hentet");
  EXPECT_EQ(ReadFile(MachineDir(1) + "O55.NC"), program);
  Finish(*control, *station);
}

TEST_F(Lsv2, ReportsReachTheGrid) {
  const std::string path = Ini("AlarmFilter=2002;2003\r\n");
  auto control = Lsv2Control({"lsv2-send \"R AL I1001[LF]2002\"" + kWait,
                              "lsv2-send \"R ST I0001\" --corrupt 1" + kWait,
                              "lsv2-send \"R AL I2002\"" + kWait});
  auto station = Station(path);
  Expect(*station, "Alarm sendt: 1001;");
  Expect(*station, "1 Melding: Retransmittering pga. BCC-feil: R ST I0001");
  Expect(*station, "1 Melding: Status mottatt: 0001");
  // Every entry filtered: the raw text.
  Expect(*station, "1 Melding: Alarm mottatt: 2002");
  Finish(*control, *station);
}

TEST_F(Lsv2, ACollisionQueuesTheControlsReportAndTheSendGoesOn) {
  WriteFile(MachineDir(1) + "O1000.NC", kProgram);
  auto control =
      Lsv2Control({"lsv2-collide \"R AL I1001\"" + kWait, "lsv2-receive " + Got() + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "O1000.NC"}), 0);
  Expect(*station, "1 Status: Program sendt");
  // The queued report, served after the send.
  Expect(*station, "1 Melding: Alarm mottatt: 1001");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(Got()), kProgram);
}

}  // namespace
}  // namespace zova::test
