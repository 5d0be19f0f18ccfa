// zova baud through the real program: on a line where a control streams 7E1
// at 2,400 baud, and refused while a running station drives the machine.

#include <gtest/gtest.h>
#include <signal.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kProgram = "%\r\nO1000 (BRAKETT)\r\nG0 X10 Y20\r\nG1 Z-5 F100\r\nM30\r\n%\r\n";

struct BaudFromShell : StationFixture {
  int Baud(const std::vector<std::string>& words, std::string& out, std::string& err) {
    std::vector<std::string> argv{ZOVA_EXE, "baud"};
    argv.insert(argv.end(), words.begin(), words.end());
    Process p(argv, env);
    const int code = p.Wait(30000);
    for (const std::string& l : p.Lines()) out += l + "\n";
    err = p.Stderr();
    return code;
  }
};

TEST_F(BaudFromShell, FindsTheRateOfAStreamingControlAndWritesIso) {
  const std::string ini = WriteIni(1, "", "", OwnWebPort());
  WriteFile(dir / "p.nc", kProgram);
  auto control = Control(1,
                         {"wait-open --timeout 30000",
                          "stream " + (dir / "p.nc") + " --format 7E1 --rate 2400 --for 20000"},
                         "uart");
  std::string out, err;
  // A pseudo-terminal has no bit timing: the first rate tried is heard
  // without faults, so the search starts at the control's rate.
  EXPECT_EQ(Baud({ini, "1", "--max", "2400", "--write"}, out, err), 0) << out << err;
  EXPECT_NE(out.find("Baud: 2400\nSynkroniserer\nSjekker\nDetektert\nAvsluttet\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("Kode=ISO"), std::string::npos) << out;
  const std::string text = ReadFile(ini);
  EXPECT_NE(text.find("Baud=2400"), std::string::npos) << text;
  EXPECT_NE(text.find("Kode=ISO"), std::string::npos) << text;
  EXPECT_NE(text.find("Paritet=N"), std::string::npos) << text;
  EXPECT_NE(text.find("StoppBit=1"), std::string::npos) << text;
  control->Signal(SIGTERM);
}

TEST_F(BaudFromShell, RefusedWhileTheStationRunsTheMachine) {
  const std::string ini = WriteIni(1, "", "", OwnWebPort());
  auto control = Control(1, {"wait-open", "wait 20000"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Kj\xC3\xB8rer kommunikasjon");
  std::string out, err;
  EXPECT_EQ(Baud({ini, "1"}, out, err), 2);
  EXPECT_NE(err.find("kj\xC3\xB8rer maskin 1"), std::string::npos) << err;
  EXPECT_EQ(Baud({ini, "7"}, out, err), 2);
  EXPECT_NE(err.find("ukjent maskin: 7"), std::string::npos) << err;
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
