// The Okuma LSV2 driver through the real station and cncsim's LSV2 control
// playing an Okuma: the contact when the control's line comes up, the
// start-up sequence, a directory listing and programs both ways in the PM
// area. A pseudo-terminal has no modem lines and reads as "line up", so
// only the first change to ready can show here; the readiness changes
// themselves are driver tests on a loopback cable (tlsv2_okuma_test).

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kProgram = "O1 (OKUMA)\r\nG0 X10 Z2\r\nM30\r\n";
const std::string kWait = " --timeout 30000";

struct Lsv2Okuma : StationFixture {
  std::string ini;

  void SetUp() override {
    ini = WriteIni(1, "Ext=.MIN\r\n", "", OwnWebPort());
    UseProtocol(ini, "OKUMALSV2");
  }
  // The line comes up with the station: its ENQ is answered EOT first.
  std::unique_ptr<Process> OkumaControl(const std::vector<std::string>& commands) {
    std::vector<std::string> all{"wait-open --timeout 30000", "expect [ENQ]" + kWait,
                                 "request [EOT]", "wait 300"};
    all.insert(all.end(), commands.begin(), commands.end());
    return Control(1, all, "lsv2");
  }
  void Finish(Process& control, Process& station) {
    EXPECT_EQ(control.Wait(30000), 0) << control.Stderr();
    Stop(station);
  }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST_F(Lsv2Okuma, TheControlIsContactedAndItsStartUpServed) {
  auto control = OkumaControl(
      {"okuma-startup" + kWait, "lsv2-send MCPM" + kWait, "lsv2-expect \"M OK\"" + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Status: NC klar for kommunikasjon");
  Expect(*station, "1 Melding: Kontakter NC");
  Expect(*station, "1 Melding: Oppstartssekvens slutt");
  Expect(*station, "1 Melding: Filnavnsekvens");
  Finish(*control, *station);
}

TEST_F(Lsv2Okuma, TheDirectoryIsListed) {
  WriteFile(MachineDir(1) + "A.MIN", "AAAA");
  WriteFile(MachineDir(1) + "B.MIN", kProgram);
  WriteFile(MachineDir(1) + "C.NC", "C");
  auto control = OkumaControl({"okuma-list *.MIN 0 99 " + (dir / "list.txt") + kWait,
                               "okuma-list X.MIN 0 9 " + (dir / "none.txt") + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Kataloginnhold sendt");
  Expect(*station, "1 Melding: Filsjekk, filen eksisterer ikke");
  Finish(*control, *station);
  const std::vector<std::string> lines = Lines(ReadFile(dir / "list.txt"));
  ASSERT_EQ(lines.size(), 2u) << ReadFile(dir / "list.txt");
  EXPECT_EQ(lines[0].substr(0, 15), "A.MIN        4 ");
  EXPECT_EQ(lines[1].substr(0, 15), "B.MIN       " + std::to_string(kProgram.size()) + " ");
  EXPECT_EQ(lines[0].substr(lines[0].size() - 3), " 00");
  EXPECT_EQ(ReadFile(dir / "none.txt"), "M NP");
}

TEST_F(Lsv2Okuma, ProgramsGoBothWaysInThePmArea) {
  WriteFile(MachineDir(1) + "O1.MIN", kProgram);
  const std::string offered = "O2\r\nG0 X1\r\nM30\r\n";
  WriteFile(dir / "offered.nc", offered);
  auto control = OkumaControl({"okuma-request O1.MIN " + (dir / "got.nc") + kWait,
                               "okuma-request O9.MIN x --refused" + kWait,
                               "okuma-offer O2.MIN " + (dir / "offered.nc") + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Filen eksisterer ikke");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(dir / "got.nc"), kProgram);
  EXPECT_EQ(ReadFile(MachineDir(1) + "O2.MIN"), offered);
}

}  // namespace
}  // namespace zova::test
