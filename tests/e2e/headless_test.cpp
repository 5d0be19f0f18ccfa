// The station binary headless: grid lines on standard output, the close
// procedure on a signal, a second start that only asks the first to come forward.

#include <gtest/gtest.h>
#include <signal.h>

#include "e2e/support/process.h"
#include "support/test_support.h"

namespace zova::test {
namespace {

struct Headless : ::testing::Test {
  TempDir dir;
  std::string ini;
  std::vector<std::string> env;
  Headless() {
    ini = dir / "Zova.ini";
    env = {"XDG_RUNTIME_DIR=" + dir.Path(), "ZOVA_SYSTEM_REGISTRY=" + (dir / "sys.ini"),
           "ZOVA_USER_REGISTRY=" + (dir / "user.ini")};
  }
};

TEST_F(Headless, ShowsItsMachinesAndStopsOnSignal) {
  WriteFile(
      ini,
      "[Program]\r\nMaskiner=3\r\nTemp=" + dir.Path() +
          "\r\n[Maskin1]\r\nNavn=Fres 1\r\nProtokoll=Ingen\r\n[Maskin2]\r\nNavn=Verkt\xC3\xB8y\r\n"
          "Protokoll=Ingen\r\nExt=.H\r\n[Maskin3]\r\nProtokoll=XYZ\r\n");
  for (int sig : {SIGTERM, SIGINT}) {
    Process zova({ZOVA_EXE, ini, "--headless"}, env);
    EXPECT_EQ(zova.WaitForLine("1 Maskin: FRES 1"), "1 Maskin: FRES 1");
    EXPECT_EQ(zova.WaitForLine("2 Maskin:"), "2 Maskin: VERKT\xC3\x98Y");
    EXPECT_EQ(zova.WaitForLine("2 Filnavn:"), "2 Filnavn: 0000.H");
    EXPECT_EQ(zova.WaitForLine("3 Status:"), "3 Status: Maskin ikke aktiv");
    zova.Signal(sig);
    EXPECT_EQ(zova.Wait(), 0);
    EXPECT_NE(zova.Stderr().find("[Maskin3] Ugyldig protokoll: XYZ"), std::string::npos)
        << zova.Stderr();
  }
}

TEST_F(Headless, SecondStartAsksTheFirstToComeForward) {
  WriteFile(ini, "[Program]\r\nMaskiner=1\r\n[Maskin1]\r\nProtokoll=Ingen\r\n");
  Process first({ZOVA_EXE, ini, "--headless"}, env);
  ASSERT_NE(first.WaitForLine("1 Status:"), "");
  Process second({ZOVA_EXE, ini, "--headless"}, env);
  EXPECT_EQ(second.Wait(), 0);
  EXPECT_TRUE(second.Lines().empty());
  first.Signal(SIGTERM);
  EXPECT_EQ(first.Wait(), 0);
  EXPECT_NE(first.Stderr().find("komme frem"), std::string::npos);
}

TEST_F(Headless, VersionAndHelp) {
  Process version({ZOVA_EXE, "--version"}, env);
  EXPECT_EQ(version.WaitForLine("1.4.1"), "1.4.1");
  EXPECT_EQ(version.Wait(), 0);
  Process help({ZOVA_EXE, "--help"}, env);
  EXPECT_NE(help.WaitForLine("--headless"), "");
  EXPECT_EQ(help.Wait(), 0);
  Process bad({ZOVA_EXE, "--nonsense"}, env);
  EXPECT_EQ(bad.Wait(), 2);
}

TEST_F(Headless, MissingConfigurationRunsOnDefaultsWithAWarning) {
  Process zova({ZOVA_EXE, dir / "absent.ini", "--headless"}, env);
  ASSERT_NE(zova.WaitForLine("1 Status:"), "");
  zova.Signal(SIGTERM);
  EXPECT_EQ(zova.Wait(), 0);
  EXPECT_NE(zova.Stderr().find("Advarsel"), std::string::npos);
}

}  // namespace
}  // namespace zova::test
