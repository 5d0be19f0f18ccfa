// The Mazatrol driver through the real station and the simulated Mazak
// control: programs offered, stored and asked for back, the layout learned
// from the test program and used on the next one, name messages for a
// robot, the control's bad lines and silences, status questions and the
// control's graphics printed.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kRunning = "1 Status: Kj\xC3\xB8rer kommunikasjon";
const std::string kWait = " --timeout 30000";
// The station's silence after a line it refuses.
const std::string kSilent = " --expect-silence --answer-timeout 1200";

// The control's line check, written from the wire description.
std::string Check(const std::string& text) {
  unsigned sum = 0;
  for (char ch : text) sum += static_cast<unsigned char>(ch) - 48u;
  char out[3];
  std::snprintf(out, sizeof out, "%02X", sum & 0xFF);
  return out;
}

// A program line of 128 hex digits: "0" with Put at 1-based Pos.
std::string Line(const std::string& put = "", int pos = 1, char fill = '0') {
  std::string line(128, fill);
  line.replace(static_cast<size_t>(pos - 1), put.size(), put);
  return line;
}

std::string Hex(const std::string& text) {
  std::string out;
  char pair[3];
  for (char ch : text) {
    std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(ch));
    out += pair;
  }
  return out;
}

// Lines the control offers (one a file line) and the file the station
// stores from them (check digits kept, CR LF after each).
struct Program {
  std::string offered, stored;
  void Add(const std::string& line) {
    offered += line + "\r\n";
    stored += line + Check(line) + "\r\n";
  }
};

// Number 30 at the default place (line 1, position 5, two bytes swapped),
// then Count - 1 lines of data.
Program Numbered(const std::string& numberHex, int count) {
  Program p;
  p.Add(Line(numberHex, 5));
  for (int i = 1; i < count; ++i)
    p.Add(Line(std::to_string(i % 10), 9, 'A' + static_cast<char>(i % 6)));
  return p;
}

struct Mazatrol : StationFixture {
  std::string ini;

  void Ini(const std::string& keys, const std::string& portKeys = "",
           const std::string& program = "") {
    ini = WriteIni(1, keys, portKeys, OwnWebPort() + program);
    UseProtocol(ini, "MAZATROL");
  }
  std::unique_ptr<Process> Mazak(const std::vector<std::string>& commands) {
    std::vector<std::string> all{"wait-open --timeout 30000", "wait 300"};
    all.insert(all.end(), commands.begin(), commands.end());
    return Control(1, all, "mazatrol");
  }
  std::string Offered(const Program& p, const std::string& name = "offer.txt") {
    WriteFile(dir / name, p.offered);
    return dir / name;
  }
};

TEST_F(Mazatrol, ProgramIsStoredUnderItsNumberAndSentBackLineForLine) {
  Ini("");
  const Program program = Numbered("1E00", 16);
  // The control asks for the program back, answering once with something
  // the station does not know: no line may be skipped for it.
  auto control = Mazak({"maz-offer " + Offered(program) + kWait, "wait 500",
                        "maz-fetch " + (dir / "back.txt") + " --junk-after 3" + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar Mazatrolprogram - 1");
  Expect(*station, "1 Melding: Program lagret");
  Expect(*station, "1 Status: Sender Mazatrolprogram - 1");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "0030.Maz"), program.stored);
  EXPECT_EQ(ReadFile(dir / "back.txt"), program.stored);
  Stop(*station);
}

TEST_F(Mazatrol, NameMessageThenRequestSendsTheNamedProgramWithTapeMarks) {
  Ini("TapeMarks=True\r\n");
  const std::string a = Line("1E00", 5), b = Line("FF", 9);
  const std::string stored = "p2\r\n" + a + Check(a) + "\r\nshort\r\n" + b + Check(b) + "\r\n";
  WriteFile(MachineDir(1) + "0030.MAZ", stored);
  // Three lines numbered 30 are a name message: they name what "p4" gets.
  auto control = Mazak({"maz-offer " + Offered(Numbered("1E00", 3)) + kWait,
                        "maz-fetch " + (dir / "back.txt") + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Filnavn mottatt");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  // The tape mark goes as a section start; a line too short for a program
  // line does not go at all.
  EXPECT_EQ(ReadFile(dir / "back.txt"), "p2\r\n" + a + Check(a) + "\r\n" + b + Check(b) + "\r\n");
  EXPECT_FALSE(std::filesystem::exists(MachineDir(1) + "0000.Maz"));
  Stop(*station);
}

TEST_F(Mazatrol, SectionEndPassesOverTheRestOfTheSection) {
  Ini("TapeMarks=True\r\n");
  std::string file;
  std::vector<std::string> lines;
  for (char c : std::string("ABCD")) lines.push_back(Line("", 1, c));
  for (const std::string& l : lines) file += l + Check(l) + "\r\n";
  // Two sections: A B, then C D.
  file.insert(0, "p2\r\n");
  file.insert(file.find(lines[2]), "p2\r\n");
  WriteFile(MachineDir(1) + "0030.MAZ", file);
  auto control = Mazak({"maz-offer " + Offered(Numbered("1E00", 3)) + kWait,
                        "maz-fetch " + (dir / "back.txt") + " --section-end-after 1" + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  // After "pD" on A, B and the second section's tape mark stay behind.
  EXPECT_EQ(ReadFile(dir / "back.txt"), "p2\r\n" + lines[0] + Check(lines[0]) + "\r\n" + lines[2] +
                                            Check(lines[2]) + "\r\n" + lines[3] + Check(lines[3]) +
                                            "\r\n");
  Stop(*station);
}

TEST_F(Mazatrol, LearnedLayoutIsWrittenToZovaIniAndUsedOnTheNextProgram) {
  Ini("ProgLinje=0\r\nMerknad=behold\r\n", "", "; en kommentar\r\n");
  const std::string before = ReadFile(ini);
  Program test;
  test.Add(Line("050D", 9));
  test.Add(Line(Hex("33333333"), 63));
  test.Add(Line());
  Program next;
  next.Add(Line("D204", 9));  // 1234, least significant byte first
  next.Add(Line(Hex("FLENS"), 63));
  for (int i = 0; i < 4; ++i) next.Add(Line("77", 3));
  auto control = Mazak({"maz-offer " + Offered(test, "test.txt") + kWait, "wait 500",
                        "maz-offer " + Offered(next, "next.txt") + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Filnavn mottatt");
  Expect(*station, "1 Melding: Program lagret");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "FLENS.Maz"), next.stored);
  EXPECT_FALSE(std::filesystem::exists(MachineDir(1) + "1234.Maz"));
  EXPECT_EQ(ReadFile(MachineDir(1) + "ArtIndex.Bin"), "FLENS.Maz;;FLENS\r\n");
  Stop(*station);

  // Every learned key in the machine's section, nothing else changed.
  const std::string after = ReadFile(ini);
  for (const char* key :
       {"ProgLinje=1", "ProgStart=9", "ProgLengde=4", "Swap=True", "LinjeLengde=130",
        "TekstLinje=2", "TekstStart=63", "TekstLengde=8", "TekstLinjeStart=0000", "KlarTekst=False",
        "TapeMarks=False", "SaveTapeMarks=False", "LagreLinjer=5", "EnkelEOT=False",
        "SkippLinje=False"})
    EXPECT_NE(after.find(key), std::string::npos) << key << "\n" << after;
  std::string kept = after;
  for (const char* key : {"ProgStart=9", "ProgLengde=4", "Swap=True", "LinjeLengde=130",
                          "TekstLinje=2", "TekstStart=63", "TekstLengde=8", "TekstLinjeStart=0000",
                          "KlarTekst=False", "TapeMarks=False", "SaveTapeMarks=False",
                          "LagreLinjer=5", "EnkelEOT=False", "SkippLinje=False"}) {
    const size_t at = kept.find(std::string(key) + "\r\n");
    ASSERT_NE(at, std::string::npos) << key;
    kept.erase(at, std::string(key).size() + 2);
  }
  const size_t at = kept.find("ProgLinje=1");
  kept.replace(at, 11, "ProgLinje=0");
  EXPECT_EQ(kept, before);
}

TEST_F(Mazatrol, LearningAFourByteNumberAndAPlainTitleFromAControlWithOneEot) {
  Ini("ProgLinje=0\r\n");
  Program test;
  test.Add(Line("01FCA055", 15));  // 33333333, most significant byte first
  test.Add(Line());
  test.Add(Line("0833333333", 41));  // the length byte, then the title as it is
  auto control = Mazak({"maz-offer " + Offered(test) + " --one-eot" + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Filnavn mottatt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  Stop(*station);
  const std::string after = ReadFile(ini);
  for (const char* key : {"ProgLinje=1", "ProgStart=15", "ProgLengde=8", "Swap=False",
                          "TekstLinje=3", "TekstStart=43", "TekstLengde=8", "KlarTekst=True",
                          "LagreLinjer=5", "EnkelEOT=True", "SkippLinje=True"})
    EXPECT_NE(after.find(key), std::string::npos) << key << "\n" << after;
}

TEST_F(Mazatrol, TitleThatClimbsOutOfTheMachineDirectoryIsNotFollowed) {
  Ini("TekstLinje=2\r\nTekstStart=63\r\nTekstLengde=12\r\nLagreLinjer=3\r\n");
  Program program = Numbered("1E00", 1);
  program.Add(Line(Hex("..\\..\\EVIL"), 63));
  program.Add(Line());
  auto control = Mazak({"maz-offer " + Offered(program) + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Ulovlig katalog i filnavn");
  Expect(*station, "1 Melding: Program lagret");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "0000.Maz"), program.stored);
  EXPECT_FALSE(std::filesystem::exists(dir / "../EVIL.Maz"));
  Stop(*station);
}

TEST_F(Mazatrol, ShortTransferNamesTheRobotsNextProgram) {
  Ini("Hent5000=True\r\nRobot=2\r\n");
  // A second machine, the robot, on a line of its own.
  std::string text = ReadFile(ini);
  text += "[Maskin2]\r\nNavn=Robot\r\nProtokoll=STANDARD\r\nPort=COM2\r\nKatalog=" + MachineDir(2) +
          "\r\n[COM2]\r\nEnhet=" + Link(2) + "\r\nKode=ASCII\r\n";
  const std::string machines = "Maskiner=1";
  text.replace(text.find(machines), machines.size(), "Maskiner=2");
  WriteFile(ini, text);
  mkdir(MachineDir(2).c_str(), 0755);
  auto robot = Control(2, {"wait-open --timeout 30000", "wait 5000"});
  // 5012 loses 5000: the name is 0012.
  auto control = Mazak({"maz-offer " + Offered(Numbered("9413", 3)) + kWait});
  auto station = Station(ini);
  Expect(*station, "2 Filnavn: 0012.Maz");
  Expect(*station, "2 Status: Robotnavn");
  Expect(*station, "1 Melding: Filnavn mottatt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_FALSE(std::filesystem::exists(MachineDir(1) + "0012.Maz"));
  EXPECT_FALSE(std::filesystem::exists(MachineDir(1) + "0000.Maz"));
  Stop(*station);
}

TEST_F(Mazatrol, BadLinesAndSilencesDropTheProgram) {
  Ini("");
  const std::string offer = Offered(Numbered("1E00", 16));
  auto control = Mazak({"maz-offer " + offer + " --bad-check 2" + kSilent + kWait, "wait 600",
                        "maz-offer " + offer + " --bad-length 3" + kSilent + kWait, "wait 600",
                        "maz-offer " + offer + " --no-etx 4" + kSilent + kWait, "wait 600",
                        "maz-offer " + offer + " --stall-after 5 " + kWait, "wait 1500",
                        "maz-status --text q1" + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Feillinje: ");
  Expect(*station, "1 Melding: Avbrutt pga. feil i mottatte data (BCC=");
  Expect(*station, "1 Melding: Avbrutt pga. feil i mottatte data (Lengde=129)");
  Expect(*station, "1 Melding: Avbrutt pga. feil i mottatte data (Protokollfeil)");
  Expect(*station, "1 Melding: Avbrutt pga. timeout");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  // Nothing under the program's name or the station's own.
  EXPECT_FALSE(std::filesystem::exists(MachineDir(1) + "0030.Maz"));
  EXPECT_FALSE(std::filesystem::exists(MachineDir(1) + "0000.Maz"));
  Stop(*station);
}

TEST_F(Mazatrol, RefusedWhileMottakSperret) {
  Ini("MottakSperret=True\r\n");
  auto control = Mazak({"maz-offer " + Offered(Numbered("1E00", 16)) + kSilent + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Mottak av program er sperret");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_FALSE(std::filesystem::exists(MachineDir(1) + "0030.Maz"));
  Stop(*station);
}

TEST_F(Mazatrol, GraphicsGoToTheCupsPrinterOrAreDroppedWithFjernNull) {
  // A CUPS client that keeps the job.
  const std::string bin = dir / "bin";
  mkdir(bin.c_str(), 0755);
  WriteFile(bin + "/lp", "#!/bin/sh\ncat > " + (dir / "job.bin") + "\n");
  WriteFile(bin + "/lpstat", "#!/bin/sh\nexit 0\n");
  chmod((bin + "/lp").c_str(), 0755);
  chmod((bin + "/lpstat").c_str(), 0755);
  env.push_back("PATH=" + bin + ":" + std::getenv("PATH"));
  // ESC/P raster data hold any byte, form feeds and NULs included.
  const std::string graphics = std::string("\x1B*\x04\x08\x00\x0C\xFF\x00\x11\x13", 10) + "END";
  WriteFile(dir / "screen.bin", graphics);
  Ini("");
  auto control =
      Mazak({"maz-graphics " + (dir / "screen.bin"), "wait 1500", "maz-status --text q9" + kWait});
  auto station = Station(ini);
  Expect(*station, "1 Status: Printer grafikk");
  Expect(*station, "1 Status: Printing avsluttet");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  const std::string uel = "\x1B%-12345X";
  EXPECT_EQ(ReadFile(dir / "job.bin"),
            uel + "@PJL\r\n@PJL ENTER LANGUAGE = ESCP\r\n" + graphics + uel);
  Stop(*station);

  std::remove((dir / "job.bin").c_str());
  Ini("", "FjernNull=True\r\n");
  auto control2 = Mazak({"maz-graphics " + (dir / "screen.bin"), "wait 1500"});
  auto station2 = Station(ini);
  Expect(*station2, "1 Melding: Grafikkprinting ikke aktiv pga. FjernNull=True");
  Expect(*station2, "1 Status: Forkaster grafikk");
  Expect(*station2, "1 Status: Printing avsluttet");
  EXPECT_EQ(control2->Wait(30000), 0) << control2->Stderr();
  EXPECT_FALSE(std::filesystem::exists(dir / "job.bin"));
  Stop(*station2);
}

}  // namespace
}  // namespace zova::test
