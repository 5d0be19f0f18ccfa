// The headless station operated from the shell: `zova ctl` against the real
// station binary and simulated controls, checked by what a user sees (the
// control's bytes, the grid lines, ctl's output and exit code).

#include <gtest/gtest.h>
#include <signal.h>

#include "e2e/support/station_fixture.h"
#include "serial/ser2net_server.h"

namespace zova::test {
namespace {

const std::string kProgram = "%\r\nO1000 (BRAKETT)\r\nG0 X1\r\nM30\r\n%\r\n";

struct Ctl : StationFixture {
  uint16_t port = FreeLoopbackPort();
  std::string ini;

  std::string Program() const { return "WebPort=" + std::to_string(port) + "\r\n"; }
};

TEST_F(Ctl, SendOrderReachesTheControlAndTheGridSaysSent) {
  ini = WriteIni(1, "MaxNull=0\r\n", "XonXoff=True\r\n", Program());
  WriteFile(MachineDir(1) + "O1000.NC", kProgram);
  auto control = Control(1, {"wait-open", "capture " + (dir / "got.nc") + " --quiet 1500"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Kj\xC3\xB8rer kommunikasjon");
  std::string out, err;
  EXPECT_EQ(RunCtl(ini, {"send", "1", "O1000.NC"}, &out, &err), 0) << err;
  EXPECT_NE(out.find("Sending bestilt: O1000.NC"), std::string::npos) << out;
  Expect(*station, "1 Status: Fil sendt");
  EXPECT_EQ(control->Wait(), 0) << control->Stderr();
  EXPECT_EQ(ReadFile(dir / "got.nc"), kProgram);
  out.clear();
  EXPECT_EQ(RunCtl(ini, {"status"}, &out), 0);
  EXPECT_NE(out.find("1 FRES 1 | O1000.NC | Fil sendt"), std::string::npos) << out;
  Stop(*station);
}

TEST_F(Ctl, RestartAndWatch) {
  ini = WriteIni(1, "", "", Program());
  auto control = Control(1, {"wait-open", "wait 8000"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Kj\xC3\xB8rer kommunikasjon");
  std::vector<std::string> argv{ZOVA_EXE, "ctl", ini, "watch"};
  Process watch(argv, env);
  // First the grid as it stands, then what changes: a cancel changes
  // nothing, a restart stops the driver and starts it again.
  const std::string running = "1 Status: Kj\xC3\xB8rer kommunikasjon";
  ASSERT_NE(watch.WaitForLine(running, 15000), "") << watch.Stderr();
  EXPECT_EQ(RunCtl(ini, {"cancel", "FRES 1"}), 0);
  EXPECT_EQ(RunCtl(ini, {"restart", "1"}), 0);
  Expect(*station, "1 Status: Kj\xC3\xB8rer ikke");
  EXPECT_NE(watch.WaitForLine(running, 15000), "") << "running again: " << watch.Stderr();
  watch.Signal(SIGTERM);
  watch.Wait();
  Stop(*station);
}

TEST_F(Ctl, RefusedOrdersExitWithTwoAndOneLine) {
  ini = WriteIni(1, "", "", Program());
  std::string err;
  EXPECT_EQ(RunCtl(ini, {"status"}, nullptr, &err), 2);
  EXPECT_NE(err.find("ingen stasjon svarer"), std::string::npos) << err;
  EXPECT_EQ(RunCtl(ini, {"sendt", "1"}, nullptr, &err), 2);
  EXPECT_NE(err.find("bruk: zova ctl"), std::string::npos) << err;

  auto control = Control(1, {"wait-open", "wait 8000"});
  auto station = Station(ini);
  Expect(*station, "1 Status: Kj\xC3\xB8rer kommunikasjon");
  struct Case {
    std::vector<std::string> words;
    const char* text;
  } cases[] = {
      {{"send", "7"}, "ukjent maskin: 7"},
      {{"send", "DREIEBENK"}, "ukjent maskin: DREIEBENK"},
      {{"fetch", "1", "O1"}, "Maskinen kan ikke hente"},
      {{"command", "1", "STOPP"}, "Maskinen tar ikke kommandoer"},
      {{"send", "1", "../../etc/passwd"}, "utenfor maskinens kataloger"},
      {{"send", "1", "MANGLER.NC"}, "Filen finnes ikke"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words[0] + " " + c.words[1]);
    EXPECT_EQ(RunCtl(ini, c.words, nullptr, &err), 2);
    EXPECT_NE(err.find(c.text), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  Stop(*station);
}

}  // namespace
}  // namespace zova::test
