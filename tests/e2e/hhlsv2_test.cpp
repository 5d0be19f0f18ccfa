// The Heidenhain LSV2 file transfer through the real station and cncsim's
// LSV2 control: the operator's send and fetch given with `zova ctl`, a
// directory on the control, and a control that refuses the program.
// Checked by what the control got, what the station stored and the grid.

#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kProgram = "0 BEGIN PGM 17 MM\r\n1 L X+10 R0 FMAX\r\n2 END PGM 17 MM\r\n";
const std::string kWait = " --timeout 30000";
const std::string kRunning = "1 Status: Kj\xC3\xB8rer kommunikasjon";
const std::string kFailed = "1 Status: Overf\xC3\xB8ring feilet";

struct HhLsv2 : StationFixture {
  std::string Ini(const std::string& keys = "") {
    std::string path = WriteIni(1, keys, "", OwnWebPort());
    UseProtocol(path, "HHLSV2");
    return path;
  }
  // The control waits until the station has opened (and purged) its line.
  std::unique_ptr<Process> Lsv2Control(const std::vector<std::string>& commands) {
    std::vector<std::string> all{"wait-open --timeout 30000", "wait 300"};
    all.insert(all.end(), commands.begin(), commands.end());
    return Control(1, all, "lsv2");
  }
  std::string Got() const { return dir / "got.h"; }
  void Finish(Process& control, Process& station) {
    EXPECT_EQ(control.Wait(30000), 0) << control.Stderr();
    Stop(station);
  }
};

TEST_F(HhLsv2, OperatorsSendGoesOutAsDataBlocksEndedByTheTerminator) {
  const std::string ini = Ini();
  WriteFile(MachineDir(1) + "17.H", kProgram);
  auto control = Lsv2Control({"hh-lsv2-receive " + Got() + " --expect-name 17.H --wait 1" + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "17.H"}), 0);
  Expect(*station, "1 Status: Sende program");
  Expect(*station, "1 Melding: Sende 17.H");
  Expect(*station, "1 Melding: Venter p\xC3\xA5 fortsettelse");
  Expect(*station, "1 Status: Sending ferdig");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(Got()), kProgram);
}

TEST_F(HhLsv2, UnderKatalogChangesTheControlsDirectoryFirst) {
  const std::string ini = Ini("UnderKatalog=PGM\r\nTerminator=[LF]\r\n");
  WriteFile(MachineDir(1) + "17.H", kProgram);
  auto control =
      Lsv2Control({"hh-lsv2-receive " + Got() + " --expect-dir PGM --terminator [LF]" + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "17.H"}), 0);
  Expect(*station, "1 Status: Sending ferdig");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(Got()), kProgram);
}

TEST_F(HhLsv2, ARefusedProgramIsNotSent) {
  const std::string ini = Ini();
  WriteFile(MachineDir(1) + "17.H", kProgram);
  auto control = Lsv2Control({"hh-lsv2-receive " + Got() + " --refuse" + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "17.H"}), 0);
  Expect(*station, "1 Melding: Filen eksisterer fra f\xC3\xB8r");
  Expect(*station, kFailed);
  Finish(*control, *station);
  EXPECT_FALSE(std::filesystem::exists(Got()));
}

// No report queue: what the control sends into the station's ENQ is
// dropped, and a repeated block has a message of its own.
TEST_F(HhLsv2, ACollisionTelegramIsDroppedAndABadBlockRepeated) {
  const std::string ini = Ini();
  WriteFile(MachineDir(1) + "17.H", kProgram);
  auto control = Lsv2Control(
      {"lsv2-collide \"R AL I1001\"" + kWait, "hh-lsv2-receive " + Got() + " --corrupt 1" + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "17.H"}), 0);
  Expect(*station, "1 Melding: Forkaster: R AL I1001");
  Expect(*station, "1 Melding: Retransmittering pga. BCC-feil");
  Expect(*station, "1 Status: Sending ferdig");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(Got()), kProgram);
}

TEST_F(HhLsv2, OperatorsFetchStoresTheDataWithNulAsCr) {
  const std::string ini = Ini();
  WriteFile(dir / "nc.h", kProgram);
  auto control = Lsv2Control({"hh-lsv2-serve 17.H " + (dir / "nc.h") + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"fetch", "1", "17.H"}), 0);
  Expect(*station, "1 Status: Motta program");
  Expect(*station, "1 Melding: Motta 17.H");
  Expect(*station, "1 Status: Mottak ferdig");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(MachineDir(1) + "17.H"),
            "0 BEGIN PGM 17 MM\r1 L X+10 R0 FMAX\r2 END PGM 17 MM\r");
}

TEST_F(HhLsv2, AFetchOfAMissingProgramStoresNothing) {
  const std::string ini = Ini();
  WriteFile(MachineDir(1) + "17.H", kProgram);
  auto control = Lsv2Control({"hh-lsv2-serve 17.H x --missing" + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"fetch", "1", "17.H"}), 0);
  Expect(*station, "1 Melding: Ukjent telegram: T_ER");
  Expect(*station, kFailed);
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(MachineDir(1) + "17.H"), kProgram) << "the stored program stays";
}

}  // namespace
}  // namespace zova::test
