// The demo command: its simulated controls make the serial machines
// transfer within seconds of the start.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "e2e/support/process.h"
#include "support/test_support.h"

namespace zova::test {
namespace {

TEST(Demo, SerialMachinesTransferSoonAfterTheStart) {
  TempDir dir;
  Process demo(
      {ZOVA_EXE, "--demo", "--headless"},
      {"XDG_RUNTIME_DIR=" + dir.Path(), "ZOVA_SYSTEM_REGISTRY=" + (dir / "sys.ini"),
       "ZOVA_USER_REGISTRY=" + (dir / "user.ini"), std::string("ZOVA_CNCSIM=") + CNCSIM_EXE});
  EXPECT_NE(demo.WaitForLine("1 Status: Fil sendt", 15000), "") << demo.Stderr();
  EXPECT_NE(demo.WaitForLine("2 Status: Data lagret", 15000), "") << demo.Stderr();
  demo.Signal(SIGTERM);
  EXPECT_EQ(demo.Wait(), 0);
  const std::string programs = dir / ("zova-demo-" + std::to_string(::getuid()) + "/Programmer/");
  EXPECT_TRUE(Exists(programs + "Dreiebenk/AKSEL.NC"));
}

}  // namespace
}  // namespace zova::test
