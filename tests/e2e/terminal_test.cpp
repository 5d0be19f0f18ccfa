// The shop-floor terminal through the real station: the simulated terminal
// on machine 1's line types and browses names for machine 2, whose own
// control takes the program its driver sends after the terminal's order.

#include <gtest/gtest.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kProgram = "%\r\nO1200\r\nG0 X1\r\nM30\r\n%\r\n";
const std::string kWait = " --timeout 30000";

struct Terminal : StationFixture {
  // Machine 1 is the terminal (Terminal keys), its target machine 2 a
  // standard control; machine 3 has no line.
  std::string Ini(const std::string& terminalKeys, int machines = 2,
                  const std::string& program = "") {
    std::string ini = WriteIni(machines, "", "", OwnWebPort() + program);
    std::string text = ReadFile(ini);
    auto after = [&](const std::string& head, const std::string& add) {
      text.insert(text.find(head) + head.size(), add);
    };
    text.replace(text.find("Protokoll=STANDARD"), 18, "Protokoll=TERMINAL");
    after("[Maskin1]\r\n", "Maskin=2\r\nHandShake=False\r\n" + terminalKeys);
    after("[Maskin2]\r\n", "MaxNull=0\r\nExt=.NC\r\n");
    after("[COM2]\r\n", "XonXoff=True\r\n");
    if (machines >= 3) text.replace(text.find("Navn=Fres 3"), 11, "Navn=DREIEBENK");
    WriteFile(ini, text);
    return ini;
  }
  std::unique_ptr<Process> Keyboard(const std::vector<std::string>& steps, int lines = 4) {
    std::vector<std::string> all{"wait-open" + kWait, "display " + std::to_string(lines),
                                 "screen \"Tast inn filnavn:\"" + kWait};
    all.insert(all.end(), steps.begin(), steps.end());
    return Control(1, all, "terminal");
  }
};

const std::string kRunning = "1 Status: Kj\xC3\xB8rer kommunikasjon";

TEST_F(Terminal, TypedNameGoesToTheTargetAndTabMakesItsDriverSendIt) {
  const std::string ini = Ini("");
  WriteFile(MachineDir(2) + "P12.NC", kProgram);
  auto target =
      Control(2, {"wait-open", "capture " + (dir / "got.nc") + " --quiet 1500 --first 30000"});
  auto terminal =
      Keyboard({"keys Pp12[CR]", "screen \"Klar for sending...\"" + kWait,
                "screen-file " + (dir / "ready.txt"), "screen \"Tast inn filnavn:\"" + kWait,
                "keys [TAB]", "screen \"Sending til maskin:\"" + kWait,
                "screen-file " + (dir / "sending.txt"), "received " + (dir / "bytes.bin")});
  auto station = Station(ini);
  Expect(*station, "2 Filnavn: P12.NC");
  Expect(*station, "1 Status: Inntasting slutt");
  EXPECT_EQ(terminal->Wait(30000), 0) << terminal->Stderr();
  // The target sends while the terminal still shows its result.
  Expect(*station, "2 Status: Fil sendt");
  Expect(*station, "1 Status: Sending startet");
  EXPECT_EQ(target->Wait(30000), 0) << target->Stderr();
  EXPECT_NE(ReadFile(dir / "got.nc").find("O1200\r\nG0 X1\r\nM30"), std::string::npos)
      << ReadFile(dir / "got.nc");
  EXPECT_EQ(ReadFile(dir / "ready.txt"), "Filnavn:\nP12.NC\n\nKlar for sending...\n");
  EXPECT_EQ(ReadFile(dir / "sending.txt"), "Sending til maskin:\n\nFres 2\n\n");
  const std::string bytes = ReadFile(dir / "bytes.bin");
  EXPECT_EQ(bytes.rfind("\x1bL\x1bJTast inn filnavn:\r\n\r\n", 0), 0u) << bytes;
  // The terminal's echo: the capital and the digits, not the small p.
  EXPECT_NE(bytes.find("\r\n\r\nP12\x1bL\x1bJ"
                       "Filnavn:"),
            std::string::npos)
      << bytes;
  Stop(*station);
}

TEST_F(Terminal, EditingFunctionKeysAndAnInactiveTarget) {
  const std::string ini = Ini("F2=3\r\nF3=9\r\n", 3);
  auto target = Control(2, {"wait-open", "wait 20000"});
  auto terminal = Keyboard({
      "keys AB[BS]C[CR]",
      "screen \"Klar for sending...\"" + kWait,
      "screen \"Tast inn filnavn:\"" + kWait,
      // A function key naming no machine keeps the target.
      "keys [XOFF]",
      "screen \"Fres 2\"" + kWait,
      "screen \"Tast inn filnavn:\"" + kWait,
      "keys [DC2]",
      "screen DREIEBENK" + kWait,
      "screen \"Tast inn filnavn:\"" + kWait,
      // Machine 3 has no line, so no driver takes the order.
      "keys [TAB]",
      "screen \"DREIEBENK ikke aktiv\"" + kWait,
  });
  auto station = Station(ini);
  Expect(*station, "2 Filnavn: AC.NC");
  Expect(*station, "1 Melding: Ugyldig maskin: 9");
  Expect(*station, "1 Status: Ny maskin: DREIEBENK");
  EXPECT_EQ(terminal->Wait(30000), 0) << terminal->Stderr();
  Expect(*station, "1 Status: Maskin ikke aktiv");
  Stop(*station);
}

TEST_F(Terminal, BrowsingPagesByTheDisplayAndTakesTheTopLine) {
  const std::string ini = Ini("Linjer=2\r\n");
  for (const char* n : {"P5.NC", "P1.NC", "P3.NC", "P2.NC", "P4.NC", "Q1.NC"})
    WriteFile(MachineDir(2) + n, kProgram);
  auto target = Control(2, {"wait-open", "wait 20000"});
  auto terminal = Keyboard(
      {"keys P*[CR]", "screen P1.NC" + kWait, "screen-file " + (dir / "first.txt"), "keys [DC2]",
       "screen P3.NC" + kWait, "screen-file " + (dir / "paged.txt"), "keys [CR]",
       "screen \"Start sending..\"" + kWait, "screen \"Tast inn filnavn:\"" + kWait, "keys Z*[CR]",
       "screen \"Ingen filer:\"" + kWait, "screen-file " + (dir / "none.txt"),
       "screen \"Tast inn filnavn:\"" + kWait},
      2);
  auto station = Station(ini);
  Expect(*station, "1 Status: Viser katalog");
  Expect(*station, "2 Filnavn: P3.NC");
  EXPECT_EQ(terminal->Wait(30000), 0) << terminal->Stderr();
  Expect(*station, "2 Filnavn: 0000");
  EXPECT_EQ(ReadFile(dir / "first.txt"), "P1.NC\nP2.NC\n");
  EXPECT_EQ(ReadFile(dir / "paged.txt"), "P3.NC\nP4.NC\n");
  EXPECT_EQ(ReadFile(dir / "none.txt"), "Ingen filer:\n\n");
  Stop(*station);
}

TEST_F(Terminal, CheckPrintAndSilenceMidInput) {
  const std::string printer = dir / "printer.prn";
  const std::string ini = Ini("", 2, "Skriver=" + printer + "\r\nMatrise=True\r\n");
  WriteFile(MachineDir(2) + "P7.NC", kProgram);
  auto target = Control(2, {"wait-open", "wait 20000"});
  auto terminal = Keyboard({
      "keys P7[CR]",
      "screen \"Klar for sending...\"" + kWait,
      "screen \"Tast inn filnavn:\"" + kWait,
      "keys +",
      "screen \"Filen eksisterer\"" + kWait,
      "screen \"Tast inn filnavn:\"" + kWait,
      "keys [DLE]",
      "screen \"Utskrift ferdig\"" + kWait,
      "screen \"Tast inn filnavn:\"" + kWait,
      // A name outside the machine's directories is not looked for.
      "keys ../../../../../ETC/PASSWD[CR]",
      "screen \"Tast inn filnavn:\"" + kWait,
      "keys [ESC]",
      "screen \"Eksisterer ikke\"" + kWait,
      "screen \"Tast inn filnavn:\"" + kWait,
      "keys AB",
      "wait 1800",
      "screen \"Tast inn filnavn:\"" + kWait,
  });
  auto station = Station(ini);
  Expect(*station, "1 Status: Filsjekk ferdig");
  Expect(*station, "1 Status: Utskrift ferdig");
  EXPECT_EQ(terminal->Wait(30000), 0) << terminal->Stderr();
  Expect(*station, "1 Status: Inntasting avbrutt");
  EXPECT_NE(ReadFile(printer).find("O1200"), std::string::npos);
  Stop(*station);
}

TEST_F(Terminal, APrinterThatCannotBeWrittenIsReported) {
  const std::string ini =
      Ini("Linjer=2\r\n", 2, "Skriver=" + (dir / "mangler/printer.prn") + "\r\nMatrise=True\r\n");
  WriteFile(MachineDir(2) + "P7.NC", kProgram);
  auto target = Control(2, {"wait-open", "wait 20000"});
  auto terminal = Keyboard(
      {"keys P7[CR]", "screen \"Start sending..\"" + kWait, "screen \"Tast inn filnavn:\"" + kWait,
       "keys [DLE]", "screen \"Utskrift feilet\"" + kWait, "screen-file " + (dir / "failed.txt")},
      2);
  auto station = Station(ini);
  EXPECT_EQ(terminal->Wait(30000), 0) << terminal->Stderr();
  Expect(*station, "1 Status: Utskrift ferdig");
  EXPECT_EQ(ReadFile(dir / "failed.txt"), "Fil: P7.NC\nUtskrift feilet\n");
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
