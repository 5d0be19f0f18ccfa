// The Hybrid driver through the real station and the simulated Hybrid
// control's menu: a download line by line, a missing part, a part number
// typed with other keys and one that reaches outside the machine's
// directory, and an upload stored under its part number.

#include <gtest/gtest.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kProgram = "O1000\r\nG0 X1\r\n\r\nG1 X2 F50\r\nM30\r\n";
// What goes down the line: the non-empty lines, each ended by LF.
const std::string kLines = "O1000\nG0 X1\nG1 X2 F50\nM30\n";

// The control waits for the station while it starts: generous on a loaded
// machine or under a sanitizer.
const std::string kWait = " --timeout 30000";

struct Hybrid : StationFixture {
  std::string ini;

  void SetUp() override {
    // A prompt may take the control a while on a loaded machine: the
    // station waits 2 s for each.
    ini = WriteIni(1, "", "TimeOut=20\r\n", OwnWebPort());
    UseProtocol(ini, "HYBRID");
  }
  // The station purges its line when it opens it: the control starts its
  // menu once the station has had time to start.
  std::unique_ptr<Process> Menu(std::vector<std::string> commands) {
    commands.insert(commands.begin(), {"wait-open --timeout 30000", "wait 1000"});
    return Control(1, commands, "hybrid");
  }
};

TEST_F(Hybrid, DownloadGoesOutALineForEachPrompt) {
  WriteFile(MachineDir(1) + "1000.NC", kProgram);
  auto control = Menu({"hybrid-choose S" + kWait, "hybrid-type 1000",
                       "hybrid-download " + (dir / "got.nc") + kWait + " --quiet 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar Hybrid Filnavn");
  Expect(*station, "1 Filnavn: 1000.NC");
  Expect(*station, "1 Status: Sender Hybrid-data - 1");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), kLines);
  Stop(*station);
  // The control's question after the last line was the send's, not a
  // reception of its own.
  for (const std::string& l : station->Lines()) EXPECT_EQ(l.find("BTR"), std::string::npos) << l;
}

TEST_F(Hybrid, MissingPartIsNotFoundAndAskedForAgain) {
  WriteFile(MachineDir(1) + "1000.NC", kProgram);
  auto control =
      Menu({"hybrid-choose S" + kWait, "hybrid-type 9999",
            "expect \"[CR][LF]9999.NC FILE NOT FOUND, PART # [ETX]\"" + kWait, "hybrid-type 1000",
            "hybrid-download " + (dir / "got.nc") + kWait + " --quiet 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Filnavn: 9999.NC");
  Expect(*station, "1 Filnavn: 1000.NC");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), kLines);
  Stop(*station);
}

TEST_F(Hybrid, PartNumberKeepsOnlyItsKeysAndStaysInTheMachinesDirectory) {
  WriteFile(MachineDir(1) + "1000.NC", kProgram);
  // A file beside the machine's directory, which "..\7" would name.
  WriteFile(dir / "7", "secret\r\n");
  auto control = Menu({"hybrid-choose S" + kWait, "hybrid-type ../7",
                       "expect \"FILE NOT FOUND, PART # [ETX]\"" + kWait, "hybrid-type /7",
                       "expect \"FILE NOT FOUND, PART # [ETX]\"" + kWait,
                       // Letters and blanks are no keys of a part number; BS
                       // takes back the "-".
                       "hybrid-type \"PART 10-X[BS]00\"",
                       "hybrid-download " + (dir / "got.nc") + kWait + " --quiet 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Ulovlig katalog i filnavn: ..\\7");
  // A leading "\" is the root of the machine directory's drive.
  Expect(*station, "1 Melding: Ulovlig katalog i filnavn: \\7.NC");
  Expect(*station, "1 Filnavn: 1000.NC");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), kLines);
  Stop(*station);
  for (const std::string& l : station->Lines())
    EXPECT_EQ(l.find("Filnavn: ..\\7"), std::string::npos) << "never offered for a send: " << l;
}

TEST_F(Hybrid, UploadIsStoredUnderItsPartNumberAndOverwritesOnlyWhenAllowed) {
  WriteFile(MachineDir(1) + "2000.NC", "OLD\r\n");
  WriteFile(dir / "up.nc", "O2001\r\nG0 X5\r\nM30\r\n");
  auto control = Menu({"hybrid-choose R" + kWait, "hybrid-type ../9",
                       "expect \"[CR][LF]NEW PART # [ETX]\"" + kWait, "hybrid-type 2000",
                       "expect \"2000.NC Exists, Overwrite?, Y OR N [ETX]\"" + kWait,
                       "hybrid-type N", "expect \"[CR][LF]NEW PART # [ETX]\"" + kWait,
                       "hybrid-type 2001", "hybrid-upload " + (dir / "up.nc") + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar Hybrid-data - 1");
  Expect(*station, "1 Status: Fil lagret");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  Stop(*station);
  EXPECT_EQ(ReadFile(MachineDir(1) + "2001.NC"), "O2001\r\nG0 X5\r\nM30\r\n");
  EXPECT_EQ(ReadFile(MachineDir(1) + "2000.NC"), "OLD\r\n") << "the control said no";
  EXPECT_FALSE(Exists(dir / "9")) << "nothing is stored outside the machine's directory";
}

}  // namespace
}  // namespace zova::test
