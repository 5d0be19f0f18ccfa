// The FAPT driver through the real station and a simulated programming
// system: block data stored under the name in them, a transmission that
// breaks its block form, a .FPT file sent in block form, and a "%" program
// from the same line.

#include <gtest/gtest.h>

#include "core/latin1.h"
#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

// Data of a programming system: binary, with bytes a text rule would touch.
std::string Data(size_t n) {
  std::string d;
  for (size_t i = 0; i < n; ++i) d += static_cast<char>((i * 37 + 11) % 256);
  return d;
}

std::string Padded(std::string d) {
  if (d.size() % 63) d.append(63 - d.size() % 63, '\0');
  return d;
}

const std::string kWait = " --timeout 30000";

struct Fapt : StationFixture {
  std::string ini;

  void SetUp() override {
    ini = WriteIni(1, "Test=True\r\n", "", OwnWebPort());
    UseProtocol(ini, "FAPT");
  }
  // The system makes its line before the station starts (the station opens
  // it at once) and waits until the station has opened and purged it.
  std::unique_ptr<Process> System(const std::string& command) {
    return Control(1, {"wait-open" + kWait, "wait 500", command}, "fapt");
  }
};

TEST_F(Fapt, ReceptionIsStoredUnderTheNameAfterTheMarker) {
  const std::string body = Data(150);
  WriteFile(dir / "part.fpt", body);
  // The beginning of the marker repeats before it: the name is still found.
  auto system = System("fapt-send " + (dir / "part.fpt") +
                       " --name O1234 --marker MLL>MLL>MLL= --lead [NUL][CR]");
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar Fapt-data - 1");
  Expect(*station, "1 Filnavn: O1234.FPT");
  Expect(*station, "1 Status: Data mottatt");
  Expect(*station, "1 Melding: Data lagret");
  EXPECT_EQ(system->Wait(30000), 0) << system->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "O1234.FPT"), Padded("MLL>MLL>MLL=O1234\r\n" + body))
      << "stored byte for byte, with the padding of the last block";
  EXPECT_FALSE(Exists(MachineDir(1) + "0000.FPT"));
  Stop(*station);
}

TEST_F(Fapt, BlockFollowedByNeitherBsNorStxKeepsWhatCameAndTheOlderVersion) {
  WriteFile(MachineDir(1) + "O2000.FPT", "older version");
  WriteFile(dir / "part.fpt", Data(200));
  auto system = System("fapt-send " + (dir / "part.fpt") + " --name O2000 --corrupt 2");
  auto station = Station(ini);
  Expect(*station, "1 Status: Feil i dataformat");
  Expect(*station, "1 Melding: Overf\xC3\xB8ring brutt");
  Expect(*station, "1 Status: Data mottatt");
  Expect(*station, "1 Melding: Mottak avbrutt");
  EXPECT_EQ(system->Wait(30000), 0) << system->Stderr();
  const std::string sent = "MLL>MLL=O2000\r\n" + Data(200);
  EXPECT_EQ(ReadFile(MachineDir(1) + "O2000.FPT"), sent.substr(0, 126))
      << "the two blocks before the fault, nothing of what followed it";
  EXPECT_EQ(ReadFile(MachineDir(1) + "O2000.Bak"), "older version");
  Stop(*station);
}

TEST_F(Fapt, FptFileIsSentInBlockForm) {
  const std::string body = Data(130);
  WriteFile(MachineDir(1) + "PART.FPT", body);
  auto system = System("fapt-receive " + (dir / "got.fpt") + " --first 30000");
  auto station = Station(ini);
  Expect(*station, "1 Status: Kj\xC3\xB8rer kommunikasjon");
  EXPECT_EQ(RunCtl(ini, {"send", "1", "PART.FPT"}), 0);
  Expect(*station, "1 Status: Sender Fapt-data - 1");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(system->Wait(30000), 0) << system->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.fpt"), body) << "the control checked the framing";
  for (const std::string& l : station->Lines())
    EXPECT_EQ(UpperCase(l).find("MASKIN1.FPT"), std::string::npos)
        << "the image is never named: " << l;
  Stop(*station);
}

TEST_F(Fapt, PercentProgramTakesTheStandardWay) {
  const std::string program =
      "%\r\nO1234 (BRAKETT)\r\nG0 X10 Y10\r\nG1 X20 F100\r\nG1 Y20\r\nG0 Z50\r\nM30\r\n%\r\n";
  WriteFile(dir / "p.nc", program);
  auto system = System("send " + (dir / "p.nc"));
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar data - 1");
  Expect(*station, "1 Status: Data lagret");
  EXPECT_EQ(system->Wait(30000), 0) << system->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "BRAKETT.NC"), program);
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
