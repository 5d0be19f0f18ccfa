// The Siemens driver through the real station and the simulated Siemens
// control: an archive sent with its pauses between the programs (seen as
// gaps in the control's arrival times, and with Siemens3 as the NULs before
// each pause), and an archive the control punches, stored.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kArchive =
    "%_N_A_MPF\n;$PATH=/_N_MPF_DIR\nN10 G0 X1\nM30\n"
    "%_N_B_MPF\n;$PATH=/_N_MPF_DIR\nN20 G1 Y2\nM30\n";

// What the line carries of it: every LF becomes the line's end of block.
std::string OnTheLine(const std::string& text) {
  std::string out;
  for (char ch : text) out += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  return out;
}

std::vector<double> Times(const std::string& path) {
  std::vector<double> t;
  std::ifstream in(path);
  for (double ms; in >> ms;) t.push_back(ms);
  return t;
}

struct Siemens : StationFixture {
  std::string Ini(const std::string& keys, const std::string& clockScale) {
    for (std::string& e : env)
      if (e.rfind("ZOVA_CLOCK_SCALE=", 0) == 0) e = "ZOVA_CLOCK_SCALE=" + clockScale;
    std::string ini = WriteIni(1, "StoppTegn=[EOT]\r\n" + keys, "", OwnWebPort());
    UseProtocol(ini, "SIEMENS");
    return ini;
  }
  // The control makes its line before the station starts (which opens it
  // at once) and waits for the station generously: CI runs this loaded.
  std::unique_ptr<Process> SiemensControl(const std::string& command) {
    return Control(1, {"wait-open --timeout 30000", command}, "siemens");
  }
  std::string Receive() {
    return "siemens-receive " + (dir / "got.arc") + " --times " + (dir / "got.ms") +
           " --until [EOT] --first 30000";
  }
  // Sends the archive on the operator's order and returns what the control
  // took, with the arrival time of each byte.
  std::string SendArchive(const std::string& ini, std::vector<double>& times) {
    WriteFile(MachineDir(1) + "ARKIV.ARC", kArchive);
    auto control = SiemensControl(Receive());
    auto station = Station(ini);
    Expect(*station, "1 Status: Kj\xC3\xB8rer kommunikasjon");
    EXPECT_EQ(RunCtl(ini, {"send", "1", "ARKIV.ARC"}), 0);
    Expect(*station, "1 Status: Sender Siemens-data - 1");
    Expect(*station, "1 Status: Fil sendt");
    EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
    Stop(*station);
    times = Times(dir / "got.ms");
    return ReadFile(dir / "got.arc");
  }
};

// The gap before byte I of what the control took.
double GapBefore(const std::vector<double>& t, size_t i) {
  return i == 0 || i >= t.size() ? 0 : t[i] - t[i - 1];
}

TEST_F(Siemens, ArchiveGoesOutWithAPauseAfterEachHeaderAndBeforeTheNextProgram) {
  // 1 s pauses at a quarter: 250 ms on the wall, far above a character's gap
  // even on a loaded machine.
  const std::string ini = Ini("", "4");
  std::vector<double> t;
  const std::string got = SendArchive(ini, t);
  const std::string wire = OnTheLine(kArchive);
  ASSERT_EQ(got, wire + "\x04");
  ASSERT_EQ(t.size(), got.size());
  const size_t firstPath = wire.find(";$PATH");
  const size_t second = wire.find("%_N_B");
  const size_t secondPath = wire.find(";$PATH", second);
  std::vector<double> ordinary;
  for (size_t i = 1; i < t.size(); ++i)
    if (i != firstPath && i != second && i != secondPath) ordinary.push_back(GapBefore(t, i));
  std::sort(ordinary.begin(), ordinary.end());
  const double typical = ordinary[ordinary.size() / 2];
  for (size_t at : {firstPath, second, secondPath}) {
    // A pause is never shorter than asked for; the control may read the
    // byte before it late, so half of it is what must show.
    EXPECT_GE(GapBefore(t, at), 125.0) << "before byte " << at;
    EXPECT_GT(GapBefore(t, at), 10 * typical) << "before byte " << at;
  }
}

TEST_F(Siemens, Siemens3PutsNulsBeforeEachLongerPause) {
  // 5 s pauses at the fixture's twentieth: 250 ms on the wall.
  const std::string ini = Ini("Siemens3=True\r\nMaxNull=4\r\n", "20");
  std::vector<double> t;
  const std::string got = SendArchive(ini, t);
  const std::string nuls(4, '\0');
  std::string want = OnTheLine(kArchive);
  // From the back, so the positions found first stay valid.
  const size_t firstPath = want.find(";$PATH");
  const size_t second = want.find("%_N_B");
  const size_t secondPath = want.find(";$PATH", second);
  for (size_t at : {secondPath, second, firstPath}) want.insert(at, nuls);
  ASSERT_EQ(got, want + "\x04") << "NULs before every pause and nowhere else";
  ASSERT_EQ(t.size(), got.size());
  for (size_t at = got.find(nuls); at != std::string::npos; at = got.find(nuls, at + 4))
    EXPECT_GE(GapBefore(t, at + 4), 125.0) << "the pause after the NULs at " << at;
}

TEST_F(Siemens, PunchedArchiveIsStoredUnderItsFirstProgramsName) {
  // The name search for Siemens names reads the head, which starts at the
  // archive's first "%".
  const std::string ini = Ini("HenteProgram=SIEMENS_N\r\n", "20");
  WriteFile(dir / "a.arc", kArchive);
  // The station purges its line when it opens it: the control punches once
  // the station has had time to start.
  auto control = Control(1,
                         {"wait-open --timeout 30000", "wait 1000",
                          "siemens-send " + (dir / "a.arc") + " --leader 10 --end [EOT]"},
                         "siemens");
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar Siemens-data - 1");
  Expect(*station, "1 Filnavn: A.NC");
  Expect(*station, "1 Status: Data lagret");
  EXPECT_EQ(control->Wait(30000), 0) << control->Stderr();
  Stop(*station);
  EXPECT_EQ(ReadFile(MachineDir(1) + "A.NC"), OnTheLine(kArchive))
      << "feed holes and the end character are not stored (lines are stored with CR LF)";
}

}  // namespace
}  // namespace zova::test
