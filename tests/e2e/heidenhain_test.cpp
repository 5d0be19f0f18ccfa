// The Heidenhain block protocol through the real station and a simulated
// control that keeps its programs on the station: stored and read back byte
// for byte, every file in turn, file commands in subdirectories, tool
// tables, listings, and a control that refuses, cuts, holds or never ends;
// and the line-wise reception of TLinje.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

// Lines whose block check needs a blank added, and some that do not.
const std::string kProgram =
    "0 BEGIN PGM P1 MM\r\n1 BLK FORM 0.1 Z X+0 Y+0 Z-40\r\n2 L X+10 R0 FMAX\r\n"
    "3 L X+28 Y+3 F200\r\n4 CC X+50 Y+50\r\n5 END PGM P1 MM\r\n";
const std::string kWait = " --timeout 30000";

struct Heidenhain : StationFixture {
  std::string ini;

  void Make(const std::string& keys = "", const std::string& portKeys = "") {
    ini = WriteIni(1, "Ext=.H\r\n" + keys, portKeys);
    UseProtocol(ini, "HEIDENHAIN");
  }
  // The control makes its line first and waits for the station to take it.
  std::unique_ptr<Process> Hh(std::vector<std::string> commands) {
    commands.insert(commands.begin(), {"wait-open --timeout 30000", "wait 500"});
    return Control(1, commands, "heidenhain");
  }
  std::string M(const std::string& name) { return MachineDir(1) + name; }
  bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
  }
  std::string Program() {
    WriteFile(dir / "p.h", kProgram);
    return dir / "p.h";
  }
  void Finish(Process& control, Process& station) {
    EXPECT_EQ(control.Wait(30000), 0) << control.Stderr();
    Stop(station);
  }
};

TEST_F(Heidenhain, ProgramIsStoredAndReadBackByteForByte) {
  Make();
  auto control = Hh({"hh-save " + Program() + " --name P1" + kWait,
                     "hh-load " + (dir / "back.h") + " --name P1" + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Program lagret");
  Expect(*station, "1 Status: Fil sendt");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(M("P1.H")), kProgram);
  EXPECT_EQ(ReadFile(dir / "back.h"), kProgram);
}

TEST_F(Heidenhain, ListModeSendsEveryFileWhileTheControlAsksForTheNext) {
  Make();
  const std::string a = "0 BEGIN PGM A MM\r\n1 L X+1\r\n2 END PGM A MM\r\n";
  const std::string b = "0 BEGIN PGM B MM\r\n1 L X+2\r\n2 END PGM B MM\r\n";
  WriteFile(M("A.H"), a);
  WriteFile(M("B.H"), b);
  WriteFile(M("TOOL.T"), "0 BEGIN TOOL\r\n");
  WriteFile(M("EMPTY.H"), "");
  mkdir((dir / "all").c_str(), 0755);
  mkdir((dir / "first").c_str(), 0755);
  auto control = Hh({"hh-load-all " + (dir / "all") + kWait,
                     "hh-load-all " + (dir / "first") + " --first-blocks 1" + kWait});
  auto station = Station(ini);
  Finish(*control, *station);
  // Sorted by name; another type and a file that cannot be sent are left out.
  EXPECT_EQ(ReadFile(dir / "all/1.txt"), a);
  EXPECT_EQ(ReadFile(dir / "all/2.txt"), b);
  EXPECT_FALSE(Exists(dir / "all/3.txt"));
  EXPECT_EQ(ReadFile(dir / "first/2.txt"), "0 BEGIN PGM B MM\r\n");
}

TEST_F(Heidenhain, FileCommandsWorkInSubdirectoriesAndStayInside) {
  Make("UnderKataloger=True\r\n");
  const std::string p = Program();
  auto control = Hh({
      "hh-command \"F SUB\"" + kWait,
      "hh-command \"D HSUB\"" + kWait,
      "hh-save " + p + " --name P2" + kWait,
      "hh-save " + p + " --name P4" + kWait,
      "hh-command \"N HP2,HP3\"" + kWait,
      "hh-command \"D HP4\"" + kWait,
      "hh-command \"D H\"" + kWait,
      "hh-save " + p + " --name P5" + kWait,
      "hh-command \"N HP5,H..\\\\..\\\\ESCAPED\"" + kWait,
      "hh-command \"P HX\"" + kWait,
  });
  auto station = Station(ini);
  Expect(*station, "1 Melding: Ulovlig katalog i filnavn: ..\\..\\ESCAPED");
  Expect(*station, "1 Melding: P:X Hvilken kommando er dette ?");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(M("SUB/P3.H")), kProgram) << "stored in the directory, then renamed";
  EXPECT_FALSE(Exists(M("SUB/P2.H")));
  EXPECT_FALSE(Exists(M("SUB/P4.H"))) << "deleted";
  EXPECT_EQ(ReadFile(M("P5.H")), kProgram) << "back at home";
  EXPECT_FALSE(Exists(dir / "ESCAPED.H"));
}

TEST_F(Heidenhain, ToolTableIsStoredAsToolData) {
  Make("ToolProtokoll=HEIDENHAIN\r\nToolReg=" + (dir / "VERKTOY/") + "\r\n");
  mkdir((dir / "VERKTOY").c_str(), 0755);
  const std::string table = "0 BEGIN TOOL MM\r\nT NAME L R\r\n1 BOR +50 +3\r\n2 END TOOL MM\r\n";
  WriteFile(dir / "tool.t", table);
  auto control = Hh({"hh-save " + (dir / "tool.t") + " --name TOOL --type T" + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Verkt\xC3\xB8yfil lagret");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(dir / "VERKTOY/TOOL.T"), table);
  EXPECT_FALSE(Exists(M("TOOL.T"))) << "not as a program";
}

TEST_F(Heidenhain, ListingIsSentForEitherSpellingOfTheRequest) {
  Make();
  WriteFile(M("P1.H"), kProgram);
  auto control = Hh(
      {"hh-list " + (dir / "o.txt") + kWait, "hh-list " + (dir / "zero.txt") + " --zero" + kWait});
  auto station = Station(ini);
  Finish(*control, *station);
  for (const char* f : {"o.txt", "zero.txt"}) {
    const std::string listing = ReadFile(dir / f);
    EXPECT_EQ(listing.rfind("O D\r\n", 0), 0u) << f << ": " << listing;
    EXPECT_NE(listing.find("P1.H"), std::string::npos) << f;
  }
}

TEST_F(Heidenhain, TheControlLearnsOfAMissingProgramAndOfTheStore) {
  Make("Melding=True\r\n");
  auto control = Hh({"hh-load " + (dir / "none.h") + " --name P9 --missing" + kWait,
                     "hh-save " + Program() + " --name P1 --melding" + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Umulig \xC3\xA5 \xC3\xA5pne filen P9.H");
  Expect(*station, "1 Melding: Program lagret");
  Finish(*control, *station);
  EXPECT_NE(control->WaitForLine("melding: FIL LAGRET", 1000), "");
}

// A control that refuses, cuts, never ends or says something else: nothing
// is stored under the program's name, and the station says why.
TEST_F(Heidenhain, BrokenTransfersLeaveNothingUnderTheName) {
  Make("Melding=True\r\n");
  const std::string p = Program();
  auto control = Hh({
      "hh-save " + p + " --name R1 --bad-check 2" + kWait,
      "hh-save " + p + " --name R5 --bad-check 2 --bad-times 5" + kWait,
      "wait 1500",
      "hh-save " + p + " --name CUT --cut 2" + kWait,
      "wait 1500",
      "hh-save " + p + " --name NOEND --no-end" + kWait,
      "wait 1500",
      "hh-header HP1X" + kWait,
      "hh-save " + p + " --name P1 --melding --answer-melding [CR]" + kWait,
  });
  auto station = Station(ini);
  Expect(*station, "1 Melding: Program forkastet");
  Expect(*station, "1 Melding: Feiltelegram: [SOH]HP1X");
  Expect(*station, "1 Melding: Linjest\xC3\xB8y: [CR]");
  Finish(*control, *station);
  EXPECT_EQ(ReadFile(M("R1.H")), kProgram) << "one wrong check is repeated";
  for (const char* name : {"R5.H", "CUT.H", "NOEND.H"}) EXPECT_FALSE(Exists(M(name))) << name;
  EXPECT_NE(control->WaitForLine("hh-save: gave up after 5 NAK", 1000), "");
}

TEST_F(Heidenhain, XoffHoldsTheStationOrEndsTheSend) {
  // Seen by the station, or by its line's XON/XOFF flow during the send.
  for (const char* portKeys : {"", "XonXoff=True\r\n"}) {
    SCOPED_TRACE(portKeys);
    Make("XoffBrudd=False\r\n", portKeys);
    WriteFile(M("P1.H"), kProgram);
    auto control =
        Hh({"hh-load " + (dir / "held.h") + " --name P1 --hold-after 2 --hold 2500" + kWait});
    auto station = Station(ini);
    Expect(*station, "1 Melding: Venter p\xC3\xA5 ACK");
    Expect(*station, "1 Status: Fil sendt");
    Finish(*control, *station);
    EXPECT_EQ(ReadFile(dir / "held.h"), kProgram);
  }

  Make();
  auto control =
      Hh({"hh-load " + (dir / "broken.h") + " --name P1 --hold-after 2 --hold 200 --timeout 3000"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Sending avbrutt");
  EXPECT_EQ(control->Wait(30000), 1) << "the station sent no more after the XOFF";
  Stop(*station);
}

TEST_F(Heidenhain, LinjeStoresEveryProgramWithItsClosingCode) {
  ini = WriteIni(1, "StoppKode=%\r\n");
  UseProtocol(ini, "LINJE");
  const std::string first = "%\r\nO1000 (FORSTE)\r\nG0 X1\r\nG1 X2 F50\r\nM30\r\n%\r\n";
  const std::string second = "%\r\nO2000 (ANDRE)\r\nG0 Y1\r\nG1 Y2 F50\r\nM30\r\n%\r\n";
  WriteFile(dir / "two.nc", first + second);
  auto control = Control(
      1, {"wait-open --timeout 30000", "wait 500", "send " + (dir / "two.nc"), "wait 2000"});
  auto station = Station(ini);
  Expect(*station, "1 Filnavn: ANDRE.NC");
  Expect(*station, "1 Status: Data lagret");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "FORSTE.NC"), first);
  EXPECT_EQ(ReadFile(MachineDir(1) + "ANDRE.NC"), second);
  Stop(*station);
  for (const std::string& l : station->Lines())
    EXPECT_EQ(l.find("Mottar linjedata - 3"), std::string::npos) << "no reception of a closing %";
}

}  // namespace
}  // namespace zova::test
