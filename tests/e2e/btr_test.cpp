// The BTR driver through the real station and a simulated punch: several
// programs in a row, each stored as its own reception, and a punch that
// breaks off in a start sequence.

#include <gtest/gtest.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kFirst = "O1000 (FORSTE)\r\nG0 X1\r\nG1 X2 F50\r\nM30\r\n";
const std::string kSecond = "O2000 (ANDRE)\r\nG0 Y1\r\nG1 Y2 F50\r\nM30\r\n";

struct Btr : StationFixture {
  std::string Ini(const std::string& keys) {
    std::string ini = WriteIni(1, "StoppKode=%\r\n" + keys);
    UseProtocol(ini, "BTR");
    return ini;
  }
  // The punch makes its line before the station starts (the station opens
  // it at once) and waits until the station has opened and purged it.
  std::unique_ptr<Process> Punch(const std::string& command) {
    return Control(1, {"wait-open --timeout 30000", "wait 500", command}, "btr");
  }
  std::string Files() {
    WriteFile(dir / "p1.nc", kFirst);
    WriteFile(dir / "p2.nc", kSecond);
    return (dir / "p1.nc") + "," + (dir / "p2.nc");
  }
};

TEST_F(Btr, ProgramsInARowAreStoredEachAsItsOwnReception) {
  const std::string ini = Ini("");
  auto punch = Punch("btr-punch " + Files() + " --leader 10");
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar BTR-data - 1");
  Expect(*station, "1 Status: Mottar BTR-data - 2");
  Expect(*station, "1 Filnavn: ANDRE.NC");
  Expect(*station, "1 Status: Data lagret");
  EXPECT_EQ(punch->Wait(15000), 0) << punch->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "FORSTE.NC"), kFirst) << "codes are not stored";
  EXPECT_EQ(ReadFile(MachineDir(1) + "ANDRE.NC"), kSecond);
  Stop(*station);
}

TEST_F(Btr, LagreKoderKeepsEachProgramsCodes) {
  const std::string ini = Ini("LagreKoder=True\r\n");
  auto punch = Punch("btr-punch " + Files());
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar BTR-data - 2");
  Expect(*station, "1 Status: Data lagret");
  EXPECT_EQ(punch->Wait(15000), 0) << punch->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "FORSTE.NC"), "%" + kFirst + "%");
  EXPECT_EQ(ReadFile(MachineDir(1) + "ANDRE.NC"), "%" + kSecond + "%");
  Stop(*station);
}

TEST_F(Btr, BreakingOffInAStartSequenceLosesNothingStored) {
  const std::string ini = Ini("LagreAlt=False\r\n");
  auto punch = Punch("btr-punch " + Files() + " --broken %[CR]");
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar BTR-data - 3");
  Expect(*station, "1 Melding: Data forkastet - mangler startkode");
  EXPECT_EQ(punch->Wait(15000), 0) << punch->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "FORSTE.NC"), kFirst);
  EXPECT_EQ(ReadFile(MachineDir(1) + "ANDRE.NC"), kSecond);
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
