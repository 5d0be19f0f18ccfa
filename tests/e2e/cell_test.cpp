// The cell status reader through the real station and a simulated cell
// controller with two lines: starts and ends become status records of the
// machines the unit codes name; what it cannot place is dropped or shown.

#include <gtest/gtest.h>

#include <sstream>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

struct Cell : StationFixture {
  std::string ini;

  // Machine 1 reads the cell; machines 2 and 3 are the cell's machines
  // (no driver of their own). With Second, the cell's second line is COM9.
  void Configure(bool second) {
    ini = WriteIni(3, "", "", OwnWebPort());
    std::string text = ReadFile(ini);
    const std::string first = "[Maskin1]\r\nNavn=Fres 1\r\nProtokoll=STANDARD\r\n";
    text.replace(text.find(first), first.size(),
                 "[Maskin1]\r\nNavn=Celle\r\nProtokoll=MAKINO\r\nUnitLength=4\r\nCEL1=2\r\n"
                 "CEL2=3\r\nCEL0=0\r\n" +
                     std::string(second ? "Port2=COM9\r\n" : ""));
    for (const char* m : {"2", "3"}) {
      const std::string s = std::string("Protokoll=STANDARD\r\nPort=COM") + m;
      text.replace(text.find(s), s.size(), "Protokoll=INGEN");
    }
    text += "[COM9]\r\nEnhet=" + (dir / "cnc9") + "\r\nKode=ASCII\r\nTimeMultiplier=100\r\n";
    WriteFile(ini, text);
  }
  // Waits until P printed every one of Texts, in any order.
  void ExpectAll(Process& p, const std::vector<std::string>& texts) {
    const auto missing = [&] {
      for (const std::string& t : texts) {
        bool seen = false;
        for (const std::string& l : p.Lines()) seen = seen || l.find(t) != std::string::npos;
        if (!seen) return t;
      }
      return std::string();
    };
    for (int i = 0; i < 300 && !missing().empty(); ++i) p.WaitForLine("\x01", 100);
    EXPECT_EQ(missing(), "");
  }
  std::vector<std::string> Records(int machine) {
    std::vector<std::string> out;
    std::istringstream in(ReadFile(dir / ("MASKIN" + std::to_string(machine) + ".SDV")));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out.push_back(line.substr(line.find(';')));
    }
    return out;
  }
};

TEST_F(Cell, TwoLinesStartsAndEndsOfTheCellsMachines) {
  Configure(true);
  auto cell = Control(1,
                      {"second-line " + (dir / "cnc9"), "wait-open --timeout 30000", "wait 300",
                       "cell-line CEL1WMR1234ABC", "cell-line CEL2WMR5678 --second",
                       "cell-line CEL2WMA9999 --second", "cell-line CEL1WMF1234",
                       "cell-line CEL2WMF5678XYZ --second", "cell-line CEL1XYZ1", "wait 300"},
                      "cell");
  ASSERT_NE(cell->WaitForLine("second-line: "), "") << cell->Stderr();
  auto station = Station(ini);
  // The lines are served in turn, so the two lines' messages interleave.
  ExpectAll(*station,
            {"1 Melding: Fres 2, startet program 1234", "1 Melding: Fres 3, startet program 5678",
             "1 Melding: Fres 2, program slutt 1234", "1 Melding: Ubehandlet DM-kommando: WMA",
             "1 Melding: Ubehandlet MC-kommando: XYZ", "1 Melding: Fres 3, program slutt 5678",
             "1 Status: DM-kommando lest"});
  EXPECT_EQ(cell->Wait(30000), 0) << cell->Stderr();
  Stop(*station);
  // With the second line open a start is code 4.
  EXPECT_EQ(Records(2), (std::vector<std::string>{";4;1234", ";2;1"}));
  EXPECT_EQ(Records(3), (std::vector<std::string>{";4;5678", ";2;1"}));
}

TEST_F(Cell, OneLineAndLinesThatCannotBePlaced) {
  Configure(false);
  auto cell = Control(1,
                      {"wait-open --timeout 30000", "wait 300",
                       // Without a second line WMA is a start, code 1.
                       "cell-line CEL1WMA0042", "cell-line CEL9WMR1111",  // a unit without a key
                       "cell-line CEL0WMR1111",                           // a unit set to 0
                       "cell-line CEL1WMR",                               // too short
                       "cell-line CEL1WMR7777[CR] --bare",                // no STX
                       "cell-line [NUL]junk[STX]CEL2WMR0815 --bare", "cell-line [CR] --bare",
                       "cell-line CEL1WMF0042", "wait 300"},
                      "cell");
  auto station = Station(ini);
  Expect(*station, "1 Melding: Fres 2, startet program 0042");
  Expect(*station, "1 Melding: Fres 3, startet program 0815");
  Expect(*station, "1 Melding: Fres 2, program slutt 0042");
  EXPECT_EQ(cell->Wait(30000), 0) << cell->Stderr();
  Stop(*station);
  EXPECT_EQ(Records(2), (std::vector<std::string>{";1;0042", ";2;1"}));
  EXPECT_EQ(Records(3), (std::vector<std::string>{";1;0815"}));
  for (const std::string& l : station->Lines())
    EXPECT_EQ(l.find("Ubehandlet"), std::string::npos) << "dropped lines are not commands: " << l;
}

}  // namespace
}  // namespace zova::test
