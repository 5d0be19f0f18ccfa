// The standard driver end to end: the station binary, headless, against
// simulated controls on pseudo-terminals. What is checked is what a user
// sees: grid lines, stored files, the bytes the control got, the event log.

#include <gtest/gtest.h>

#include <cctype>

#include "e2e/support/station_fixture.h"
#include "serial/ser2net_server.h"

namespace zova::test {
namespace {

// The control waits a moment after the station opened its end: what a
// control sends while the station is still purging the line is lost, as on
// any real line.
const std::string kSettle = "wait 500";

const std::string kProgram =
    "%\r\nO1234 (BRAKETT)\r\nG0 X10 Y10\r\nG1 X20 F100\r\nG1 Y20\r\nG0 Z50\r\nM30\r\n%\r\n";

// A program whose control sends no start code.
const std::string kNoStart =
    "O2000 (UTENSTART)\r\nG0 X1\r\nG1 X2 F50\r\nG1 Y2\r\nG1 X1\r\nG0 Z50\r\nM30\r\n";

struct Standard : StationFixture {};

TEST_F(Standard, ReceivedProgramIsStoredUnderItsNameWithABackup) {
  std::string second = kProgram;
  second.replace(second.find("X20"), 3, "X25");
  WriteFile(dir / "p1.nc", kProgram);
  WriteFile(dir / "p2.nc", second);
  std::string ini = WriteIni(1, "");
  auto control = Control(1, {"wait-open", kSettle, "send " + (dir / "p1.nc"), "wait 1500",
                             "send " + (dir / "p2.nc"), "wait 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar data - 1");
  Expect(*station, "1 Filnavn: BRAKETT.NC");
  Expect(*station, "1 Status: Data lagret");
  Expect(*station, "1 Status: Mottar data - 2");
  Expect(*station, "1 Status: Data lagret");
  EXPECT_EQ(ReadFile(MachineDir(1) + "BRAKETT.NC"), second);
  EXPECT_EQ(ReadFile(MachineDir(1) + "BRAKETT.Bak"), kProgram) << "the previous version is kept";
  Stop(*station);
  EXPECT_EQ(control->Wait(), 0);
}

TEST_F(Standard, RequestIsAnsweredWithTheProgram) {
  const std::string answer = "%\r\nO1000 (SVAR)\r\nG0 X1\r\nM30\r\n%\r\n";
  std::string ini = WriteIni(1, "VenteTid=1\r\n", "XonXoff=True\r\n");
  WriteFile(MachineDir(1) + "O1000.NC", answer);
  auto control = Control(1, {"wait-open", kSettle, "request \"%[CR][LF](O1000) M30[CR][LF]\"",
                             "capture " + (dir / "got.nc") + " --quiet 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Filnavn mottatt");
  Expect(*station, "1 Melding: Venter....");
  Expect(*station, "1 Status: Sender data - 1");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(), 0) << control->Stderr();
  std::string got = ReadFile(dir / "got.nc");
  ASSERT_GE(got.size(), answer.size());
  EXPECT_EQ(got.substr(0, answer.size()), answer);
  EXPECT_EQ(got.substr(answer.size()), std::string(60, '\0')) << "the NUL trailer follows";
  EXPECT_NE(ReadFile(MachineDir(1) + "MASKIN1.TXT").find("Fil sendt til CNC: "), std::string::npos);
  Stop(*station);
}

TEST_F(Standard, RequestForAMissingProgramSaysWhichFileAndNeverThatItStarted) {
  // The program the control sends after the failed send shows that the
  // station has gone back to idle by then.
  WriteFile(dir / "p.nc", kProgram);
  std::string ini = WriteIni(1, "VenteTid=1\r\n", "XonXoff=True\r\n");
  auto control = Control(1, {"wait-open", kSettle, "request \"%[CR][LF](O9999) M30[CR][LF]\"",
                             "wait 5000", "send " + (dir / "p.nc"), "wait 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Sending startet");
  Expect(*station, "1 Status: Sending feilet");
  std::string path = MachineDir(1) + "O9999.NC";
  for (char& c : path) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  Expect(*station, "1 Melding: Umulig \xC3\xA5 \xC3\xA5pne filen " + path);
  Expect(*station, "1 Status: Data lagret", 15000);
  for (const std::string& line : station->Lines())
    EXPECT_EQ(line.find("SENDING STARTET"), std::string::npos) << line;
  EXPECT_EQ(control->Wait(), 0) << control->Stderr();
  Stop(*station);
}

TEST_F(Standard, RequestIsAnsweredThroughANetworkSerialServer) {
  // The control's line reaches the station through ser2net in RFC 2217 mode.
  const std::string answer = "%\r\nO1000 (SVAR)\r\nG0 X1\r\nM30\r\n%\r\n";
  std::string ini = WriteIni(1, "VenteTid=1\r\n", "XonXoff=True\r\n");
  WriteFile(MachineDir(1) + "O1000.NC", answer);
  auto control = Control(1, {"wait-open", kSettle, "request \"%[CR][LF](O1000) M30[CR][LF]\"",
                             "capture " + (dir / "got.nc") + " --quiet 1500"});
  Ser2net server(Link(1), Ser2net::Mode::Rfc2217);
  ASSERT_EQ(server.Error(), "");
  std::string text = ReadFile(ini);
  const std::string enhet = "Enhet=" + Link(1);
  text.replace(text.find(enhet), enhet.size(), "Enhet=" + server.Address());
  WriteFile(ini, text);
  auto station = Station(ini);
  Expect(*station, "1 Melding: Filnavn mottatt");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), answer + std::string(60, '\0'));
  Stop(*station);
}

TEST_F(Standard, ReceptionWithoutStartCodeIsStoredOnlyAsATimeout) {
  WriteFile(dir / "p.nc", kNoStart);
  std::string ini = WriteIni(1, "");
  auto control = Control(1, {"wait-open", kSettle, "send " + (dir / "p.nc"), "wait 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Lagret med timeout");
  EXPECT_EQ(ReadFile(MachineDir(1) + "UTENSTART.NC"), kNoStart);
  Stop(*station);
}

TEST_F(Standard, IncompleteReceptionIsDroppedWithoutLagreAlt) {
  WriteFile(dir / "p.nc", kNoStart);
  std::string ini = WriteIni(1, "LagreAlt=False\r\n");
  auto control = Control(1, {"wait-open", kSettle, "send " + (dir / "p.nc"), "wait 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Lagring avbrutt");
  Expect(*station, "1 Melding: Datamottak ikke komplett");
  EXPECT_FALSE(Exists(MachineDir(1) + "UTENSTART.NC"));
  Stop(*station);
}

TEST_F(Standard, LineNoiseAndAResetControlStoreNothing) {
  std::string ini = WriteIni(1, "StoppTegn=[EOT]\r\n");
  auto control =
      Control(1, {"wait-open", kSettle, "request xyz", "wait 1000", "request [EOT]", "wait 1000"});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Linjest\xC3\xB8y");
  Expect(*station, "1 Melding: Maskin resatt");
  EXPECT_EQ(control->Wait(), 0);
  EXPECT_FALSE(Exists(MachineDir(1) + "0000.NC"));
  Stop(*station);
}

TEST_F(Standard, HenteKommandoRefusesABareStartSignal) {
  const std::string answer = "%\r\nO1000\r\nM30\r\n%\r\n";
  std::string ini = WriteIni(1, "HenteKommando=True\r\n", "XonXoff=True\r\n");
  WriteFile(MachineDir(1) + "O1000.NC", answer);
  auto control = Control(
      1, {"wait-open", kSettle, "xon", "wait 800", "request \"%[CR][LF](O1000) M30[CR][LF]\"",
          "xon", "capture " + (dir / "got.nc") + " --quiet 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Sending blokkert");
  Expect(*station, "1 Melding: Filnavn mottatt");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc").substr(0, answer.size()), answer);
  Stop(*station);
}

TEST_F(Standard, ReceiptFollowsAStoredProgram) {
  WriteFile(dir / "p.nc", kProgram);
  std::string ini = WriteIni(1, "KvitteringsTid=1\r\nVenteTid=1\r\n", "XonXoff=True\r\n");
  auto control = Control(1, {"wait-open", kSettle, "send " + (dir / "p.nc"),
                             "capture " + (dir / "receipt.nc") + " --quiet 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Data lagret");
  Expect(*station, "1 Status: Sender kvitteringsdata - 1");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "receipt.nc"), "\r\n%\r\n(FIL LAGRET)\r\n%\r\n" + std::string(60, '\0'));
  Stop(*station);
}

TEST_F(Standard, TwoMachinesReceiveAtTheSameTime) {
  std::string other = kProgram;
  other.replace(other.find("BRAKETT"), 7, "FLENS");
  WriteFile(dir / "p1.nc", kProgram);
  WriteFile(dir / "p2.nc", other);
  std::string ini = WriteIni(2, "");
  auto c1 = Control(1, {"wait-open", kSettle, "send " + (dir / "p1.nc"), "wait 1500"});
  auto c2 = Control(2, {"wait-open", kSettle, "send " + (dir / "p2.nc"), "wait 1500"});
  auto station = Station(ini);
  Expect(*station, "Status: Data lagret");
  Expect(*station, "Status: Data lagret");
  EXPECT_EQ(ReadFile(MachineDir(1) + "BRAKETT.NC"), kProgram);
  EXPECT_EQ(ReadFile(MachineDir(2) + "FLENS.NC"), other);
  Stop(*station);
}

TEST_F(Standard, LineDroppedDuringAReceptionKeepsThePreviousVersion) {
  // With a stop code the station can tell a cut reception from a whole one.
  std::string ini = WriteIni(1, "StoppKode=%\r\n");
  WriteFile(MachineDir(1) + "BRAKETT.NC", kProgram);
  std::string longer = kProgram;
  longer.insert(longer.find("M30"), "G1 X30 Y30\r\nG1 X40 Y40\r\nG1 X50 Y50\r\n");
  WriteFile(dir / "p.nc", longer);
  auto control = Control(1, {"wait-open", kSettle, "send " + (dir / "p.nc") + " --drop-after 60"});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Lagret med timeout");
  EXPECT_EQ(ReadFile(MachineDir(1) + "BRAKETT.NC"), longer.substr(0, 60))
      << "LagreAlt keeps what came";
  EXPECT_EQ(ReadFile(MachineDir(1) + "BRAKETT.Bak"), kProgram) << "the old program is not lost";
  Stop(*station);
}

TEST_F(Standard, ControlThatDropsTheLineDuringASendIsReported) {
  std::string big = "%\r\nO1000 (STOR)\r\n";
  for (int i = 0; i < 3000; ++i) big += "G1 X" + std::to_string(i) + " Y1\r\n";
  big += "M30\r\n%\r\n";
  std::string ini = WriteIni(1, "VenteTid=1\r\n", "XonXoff=True\r\nBreak=2\r\n");
  WriteFile(MachineDir(1) + "O1000.NC", big);
  auto control = Control(1, {"wait-open", kSettle, "request \"%[CR][LF](O1000) M30[CR][LF]\"",
                             "capture " + (dir / "got.nc") + " --drop-after 2000"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Sender data - 1");
  Expect(*station, "1 Status: Sending avbrutt");
  Expect(*station, "1 Melding: CNC-maskinen har avbrutt overf\xC3\xB8ringen");
  EXPECT_EQ(ReadFile(MachineDir(1) + "O1000.NC"), big) << "the program itself is untouched";
  Stop(*station);
}

TEST_F(Standard, FastSendGoesOutInBlocksWithoutCharacterRules) {
  // Hurtig sends the file as it is stored: the character rules do not apply.
  const std::string answer = "%\r\nO1000 (hurtig)\r\nG0 X1\r\nM30\r\n%\r\n";
  std::string ini =
      WriteIni(1, "VenteTid=1\r\nHurtig=True\r\nStoreBokstaver=True\r\n", "XonXoff=True\r\n");
  WriteFile(MachineDir(1) + "O1000.NC", answer);
  auto control = Control(1, {"wait-open", kSettle, "request \"%[CR][LF](O1000) M30[CR][LF]\"",
                             "capture " + (dir / "got.nc") + " --quiet 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Melding: Hurtigsending aktivert");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), answer + std::string(60, '\0'));
  Stop(*station);
}

TEST_F(Standard, SystemFileIsSentByteForByte) {
  // Bytes that every character rule would touch: NUL, SUB, lower case, 8-bit.
  const std::string data("\x01\x00\x1A abc \xFF\xFE\r\n\n", 13);
  std::string ini =
      WriteIni(1, "VenteTid=1\r\nStoreBokstaver=True\r\nSystemNuller=2\r\n", "XonXoff=True\r\n");
  WriteFile(MachineDir(1) + "PARAM.SPR", data);
  auto control = Control(1, {"wait-open", kSettle, "request \"%[CR][LF](PARAM.SPR) M30[CR][LF]\"",
                             "capture " + (dir / "got.bin") + " --quiet 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Sender bin\xC3\xA6rdata - 1");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.bin"), std::string(2, '\0') + data + std::string(60, '\0'));
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
