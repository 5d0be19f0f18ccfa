#include "core/startup.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/clock.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/single_instance.h"
#include "support/test_support.h"

namespace zova {
namespace {

struct RegistryFiles {
  test::TempDir dir;
  RegistryFiles() {
    setenv("ZOVA_SYSTEM_REGISTRY", (dir / "system.ini").c_str(), 1);
    setenv("ZOVA_USER_REGISTRY", (dir / "user.ini").c_str(), 1);
  }
  ~RegistryFiles() {
    unsetenv("ZOVA_SYSTEM_REGISTRY");
    unsetenv("ZOVA_USER_REGISTRY");
  }
};

TEST(LocateIniFile, RegistryProgramDirectoryAndArgumentInOrder) {
  RegistryFiles reg;
  ProgramGlobals saved = Globals();
  test::TempDir prog;
  std::string progDir = prog.Path();

  // Nothing anywhere: the default path, the program directory for the rest.
  LocateIniFile("", progDir);
  EXPECT_EQ(Globals().IniFil, "/etc/zova/Zova.ini");
  // Directories are read upper-cased; the file system boundary finds them again.
  EXPECT_EQ(Globals().ExeKatalog, UpperCase(progDir));
  EXPECT_EQ(Globals().DataKatalog, UpperCase(progDir));

  // A Zova.ini beside the program is used when the named one does not exist.
  // The registry names it: /etc/zova/Zova.ini exists where the package is installed.
  test::WriteFile(reg.dir / "user.ini", "[Zova]\r\nINI-Fil=" + (prog / "Missing.ini") + "\r\n");
  test::WriteFile(prog / "Zova.ini", "[Program]\r\n");
  LocateIniFile("", progDir);
  EXPECT_EQ(Globals().IniFil, prog / "Zova.ini");

  // The registry names the file (a bare name is taken relative to the program).
  test::WriteFile(reg.dir / "user.ini", "[Zova]\r\nINI-Fil=Other.ini\r\nDataKatalog=/srv/data\r\n");
  test::WriteFile(prog / "Other.ini", "[Program]\r\nExeKatalog=" + progDir + "bin\r\n");
  LocateIniFile("", progDir);
  EXPECT_EQ(Globals().IniFil, prog / "Other.ini");
  EXPECT_EQ(Globals().DataKatalog, "/srv/data/");
  EXPECT_EQ(Globals().ExeKatalog, UpperCase(progDir + "bin/"));

  // The machine-wide file wins over the user's, the value named after the program over INI-Fil.
  test::WriteFile(reg.dir / "system.ini", "[Zova]\r\nzova=" + (prog / "Sys.ini") + "\r\n");
  test::WriteFile(prog / "Sys.ini", "");
  LocateIniFile("", progDir);
  EXPECT_EQ(Globals().IniFil, prog / "Sys.ini");

  // An existing .ini argument wins over everything.
  test::WriteFile(prog / "Test.INI", "");
  LocateIniFile(prog / "Test.INI", progDir);
  EXPECT_EQ(Globals().IniFil, prog / "Test.INI");
  LocateIniFile(prog / "Missing.ini", progDir);
  EXPECT_EQ(Globals().IniFil, prog / "Sys.ini");
  Globals() = saved;
}

TEST(PersonalValues, RoundTripAndDefaults) {
  RegistryFiles reg;
  EXPECT_EQ(ReadPersonalInt("StatusWidth0", 64), 64);
  WritePersonalInt("StatusWidth0", 120);
  EXPECT_EQ(ReadPersonalInt("StatusWidth0", 64), 120);
  test::WriteFile(reg.dir / "user.ini", "[Personal\\zova]\r\nStatusWidth1=abc\r\n");
  EXPECT_EQ(ReadPersonalInt("StatusWidth1", 7), 7);
}

TEST(SingleInstance, SecondStartAsksTheFirstToComeForward) {
  test::TempDir dir;
  setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
  std::atomic<int> raised{0};
  {
    SingleInstance first("zova-test");
    ASSERT_TRUE(first.Acquire());
    first.Listen([&](SingleInstance::Answer answer) {
      ++raised;
      answer();
    });
    SingleInstance second("zova-test");
    EXPECT_FALSE(second.Acquire());
    EXPECT_TRUE(second.Answered()) << second.SecondStartText();
    for (int i = 0; i < 2000 && raised.load() == 0; ++i) usleep(1000);
    EXPECT_EQ(raised.load(), 1);
    // Once the window is gone nothing is called, and a further start still ends.
    first.StopListening();
    first.StopListening();  // the window's end and the destructor both stop it
    SingleInstance third("zova-test");
    EXPECT_FALSE(third.Acquire());
    EXPECT_EQ(raised.load(), 1);
    EXPECT_FALSE(test::Exists(first.SocketPath()));
  }
  SingleInstance again("zova-test");
  EXPECT_TRUE(again.Acquire());  // the lock died with the first instance
  // A station that lets the request go unanswered is told at once, not
  // after the wait.
  again.Listen([](SingleInstance::Answer) {});
  SingleInstance fourth("zova-test");
  EXPECT_FALSE(fourth.Acquire());
  EXPECT_FALSE(fourth.Answered());
  EXPECT_NE(fourth.SecondStartText().find("svarte ikke"), std::string::npos);
  again.StopListening();
  unsetenv("XDG_RUNTIME_DIR");
}

TEST(Delay, CalibrationCountsAtLeastOneHundred) {
  ScaledClock fast(20);
  ScopedClock use(fast);
  EXPECT_GE(CalibrateDelay(), 100);
  DelayLoop(0);
  DelayLoop(-5);
}

}  // namespace
}  // namespace zova
