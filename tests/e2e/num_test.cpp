// The NUM dialogue through the real station and the simulated NUM control:
// the operator at the control's screen wakes the station, types choices
// (wrong ones and BS among them) and the program, the tool data or a
// punched-back program moves in checked blocks, with the control's NAK,
// ENQ and SYN restarts.

#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kRunning = "1 Status: Kj\xC3\xB8rer kommunikasjon";
const std::string kWait = " --timeout 30000";

// A program of Lines lines, long enough that it goes in several blocks.
std::string ProgramText(const std::string& name, int lines) {
  std::string text = name + " (NUM)\r\n";
  for (int i = 1; i < lines; ++i)
    text += "N" + std::to_string(i * 10) + " G1 X" + std::to_string(i) + ".125 Y-3.5 F200\r\n";
  return text + "M30\r\n";
}

struct Num : StationFixture {
  std::string ini;

  void Ini(const std::string& keyword, const std::string& keys = "") {
    ini = WriteIni(1, keys, "", OwnWebPort());
    UseProtocol(ini, keyword);
  }
  // The operator's session: wake the station, read the menu, then Steps.
  std::unique_ptr<Process> Operator(const std::vector<std::string>& steps,
                                    const std::string& title = "--------Kvist-Zova---------") {
    std::vector<std::string> all{"wait-open --timeout 30000", "wait 300", "num-wake" + kWait,
                                 "num-menu --title " + title + kWait};
    all.insert(all.end(), steps.begin(), steps.end());
    return Control(1, all, "num");
  }
};

TEST_F(Num, WrongChoicesAndMissingFilesShowTheMenuAgainThenTheProgramGoes) {
  Ini("NUMDNC1");
  const std::string program = ProgramText("O0030", 12);
  WriteFile(MachineDir(1) + "0030.NC", program);
  auto control = Operator({
      "num-type 4:1[CR]",
      "num-menu" + kWait,  // no such choice
      "num-type 1:[CR]",
      "num-menu" + kWait,  // no number
      "num-type 1:7777[CR]",
      "num-expect \"FIL> Filen eksisterer ikke\"" + kWait,
      "num-menu" + kWait,  //
      "num-type 2:[CR]",
      "num-expect \"TOOLS> Tooldata eksisterer ikke\"" + kWait,
      "num-menu" + kWait,  //
      "num-type 1:0[BS]0030[CR]",
      "num-expect DNC>" + kWait,
      "num-expect \"READ> PC klar til nedlast...\"" + kWait,
      // The second block is refused once: it comes again.
      "num-download " + (dir / "got.nc") + " --nak-block 2" + kWait,
  });
  auto station = Station(ini);
  Expect(*station, "1 Status: Leser input");
  Expect(*station, "1 Melding: Input ferdig");
  Expect(*station, "1 Status: Sender data");
  Expect(*station, "1 Melding: Antall repetisjoner: 1");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), program);
  Stop(*station);
}

TEST_F(Num, ToolDataGoesAgainAfterASynAtTheEndAndAPunchBackIsStored) {
  Ini("NUMDNC1");
  const std::string tools = "%\r\nT1 L100.000 R5.000\r\nT2 L80.500 R3.000\r\n%\r\n";
  WriteFile(MachineDir(1) + "TOOL.TD", tools);
  const std::string punched = ProgramText("O0040", 30);
  WriteFile(dir / "punch.nc", punched);
  auto control = Operator({
      "num-type 2:[CR]",
      "num-expect \"TOOLS> PC klar til nedlast..\"" + kWait,
      "num-download " + (dir / "tools.got") + " --syn-at-end" + kWait,
      "num-wake" + kWait,
      "num-menu" + kWait,
      "num-type 3:0040[CR]",
      "num-expect \"PUNCH> PC klar for mottak...\"" + kWait,
      "num-punch " + (dir / "punch.nc") + " --bad-check 2 --enq-after 1 --syn-after 3" + kWait,
  });
  auto station = Station(ini);
  Expect(*station, "1 Status: Sender verkt\xC3\xB8ydata");
  Expect(*station, "1 Melding: Sending restartes");
  Expect(*station, "1 Status: Fil sendt");
  Expect(*station, "1 Status: Leser data");
  Expect(*station, "1 Status: Lesing avsluttet");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "tools.got"), tools);
  EXPECT_EQ(ReadFile(MachineDir(1) + "0040.NC"), punched);
  Stop(*station);
}

TEST_F(Num, TenBadBlocksEndThePunchBackAndNothingIsStored) {
  Ini("NUMDNC1");
  WriteFile(MachineDir(1) + "0050.NC", "O0050 (GAMMEL)\r\nM30\r\n");
  WriteFile(dir / "punch.nc", ProgramText("O0050", 20));
  auto control = Operator({
      "num-type 3:0050[CR]",
      "num-expect \"PUNCH> PC klar for mottak...\"" + kWait,
      "num-punch " + (dir / "punch.nc") + " --always-bad 2" + kWait,
  });
  auto station = Station(ini);
  Expect(*station, "1 Status: Lesing avsluttet");
  Expect(*station, "1 Melding: Lesing avbrutt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  // The program of that name is left as it was.
  EXPECT_EQ(ReadFile(MachineDir(1) + "0050.NC"), "O0050 (GAMMEL)\r\nM30\r\n");
  Stop(*station);
}

TEST_F(Num, ABlockRefusedTenTimesEndsTheSend) {
  Ini("NUMDNC1");
  WriteFile(MachineDir(1) + "0030.NC", ProgramText("O0030", 12));
  auto control = Operator({
      "num-type 1:0030[CR]",
      "num-expect \"READ> PC klar til nedlast...\"" + kWait,
      "num-download " + (dir / "got.nc") + " --refuse-block 2" + kWait,
  });
  auto station = Station(ini);
  Expect(*station, "1 Melding: Antall repetisjoner: 9");
  Expect(*station, "1 Status: Sending avbrutt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  Stop(*station);
}

TEST_F(Num, NjMenuNamesFourDigitsAndRestartsOnSynInTheMiddle) {
  Ini("DNC1");
  const std::string program = ProgramText("O0030", 25);
  WriteFile(MachineDir(1) + "0030.NC", program);
  auto control = Operator(
      {
          "num-type 2:5[CR]",
          "num-expect \"FIL> Filen eksisterer ikke\"" + kWait,
          "num-menu" + kWait,
          "num-type 1:30[CR]",
          "num-expect \"LAST> PC klar til nedlast...\"" + kWait,
          "num-download " + (dir / "got.nc") + " --syn-after 2" + kWait,
      },
      std::string(27, '-'));
  auto station = Station(ini);
  Expect(*station, "1 Melding: Sending restartes");
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), program);
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
