// The Okuma driver through the real station and the simulated Okuma control:
// a send behind the header the control checks byte for byte, a program whose
// comment holds the stop code, and the control's print output landing in a
// matrix printer's file, with and without PJL.

#include <gtest/gtest.h>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kProgram = "O12 (AKSEL)\r\nG0 X42 Z2\r\nG1 Z-30 F0.2\r\nM30\r\n";
const std::string kCommented = "O1000 (FLENS)\r\n(KUTT 50% MATING)\r\nG0 X1\r\nM30\r\n";
const std::string kList = "OKUMA LISTE\r\nO1000 FLENS\r\n";
const std::string kWait = " --timeout 30000";

struct Okuma : StationFixture {
  std::string Ini(const std::string& keys, const std::string& program = "") {
    std::string ini = WriteIni(1, "StoppKode=%\r\n" + keys, "", OwnWebPort() + program);
    UseProtocol(ini, "OKUMA");
    return ini;
  }
  // The control makes its line before the station starts (the station opens
  // it at once) and waits until the station has opened and purged it.
  std::unique_ptr<Process> OkumaControl(const std::vector<std::string>& commands) {
    std::vector<std::string> all{"wait-open --timeout 30000", "wait 500"};
    all.insert(all.end(), commands.begin(), commands.end());
    return Control(1, all, "okuma");
  }
  std::string Printer() const { return dir / "printer.prn"; }
  std::string MatrixPrinter(const std::string& more) const {
    return "Skriver=" + Printer() + "\r\nMatrise=True\r\nInitPrn=[ESC]@\r\nExitPrn=[ESC]E\r\n" +
           more;
  }
};

const std::string kRunning = "1 Status: Kj\xC3\xB8rer kommunikasjon";

TEST_F(Okuma, SendGoesBehindTheHeaderTheControlExpects) {
  const std::string ini = Ini("");
  WriteFile(MachineDir(1) + "12.NC", kProgram);
  auto control = OkumaControl({"okuma-receive " + (dir / "got.nc") +
                               " --name P12.MIN --padding blanks --quiet 1500" + kWait});
  auto station = Station(ini);
  Expect(*station, kRunning);
  EXPECT_EQ(RunCtl(ini, {"send", "1", "12.NC"}), 0);
  Expect(*station, "1 Status: Sender Okuma-filnavn");
  Expect(*station, "1 Melding: Filnavn sendt");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  const std::string got = ReadFile(dir / "got.nc");
  EXPECT_EQ(got.substr(0, kProgram.size() + 2), "%" + kProgram + "%") << got;
  Stop(*station);
}

TEST_F(Okuma, StopCodeInACommentIsProgramText) {
  const std::string ini = Ini("");
  WriteFile(dir / "p.nc", kCommented);
  auto control = OkumaControl({"btr-punch " + (dir / "p.nc")});
  auto station = Station(ini);
  Expect(*station, "1 Status: Okuma kommuniserer");
  Expect(*station, "1 Status: Data lagret");
  EXPECT_EQ(control->Wait(15000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(MachineDir(1) + "FLENS.NC"), kCommented);
  Stop(*station);
}

TEST_F(Okuma, PrintLandsInTheMatrixPrinterAndTheProgramAfterItIsStored) {
  const std::string ini = Ini("", MatrixPrinter(""));
  WriteFile(dir / "list.txt", kList);
  WriteFile(dir / "p.nc", kCommented);
  auto control = OkumaControl(
      {"okuma-print " + (dir / "list.txt"), "wait 300", "btr-punch " + (dir / "p.nc")});
  auto station = Station(ini);
  Expect(*station, "1 Status: Skriver ut");
  Expect(*station, "1 Status: Skriving avsluttet");
  Expect(*station, "1 Status: Data lagret");
  EXPECT_EQ(control->Wait(15000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(Printer()), "\x1B@\x1B@" + kList + "\f\x1B" + "E");
  EXPECT_EQ(ReadFile(MachineDir(1) + "FLENS.NC"), kCommented);
  Stop(*station);
}

TEST_F(Okuma, PjlPrintEndedBySilenceIsWrappedInTheLanguageSwitch) {
  const std::string ini = Ini("", MatrixPrinter("PJL=True\r\n"));
  WriteFile(dir / "list.txt", kList);
  auto control = OkumaControl({"okuma-print " + (dir / "list.txt") + " --no-ff", "wait 1000"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Skriving avsluttet");
  EXPECT_EQ(control->Wait(15000), 0) << control->Stderr();
  const std::string uel = "\x1B%-12345X";
  EXPECT_EQ(ReadFile(Printer()),
            uel + "@PJL\r\n@PJL ENTER LANGUAGE = ESCP\r\n\x1B@\x1B@" + kList + "\x1B" + "E" + uel);
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
