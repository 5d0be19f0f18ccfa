// The demo command: its simulated controls make the serial machines
// transfer within seconds of the start, the Okuma lathe and the Mazak among
// them.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

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
  // The Okuma lathe took its program behind the header it checks (its copy
  // is written only then) and punched one of its own.
  const std::string demoDir = dir / ("zova-demo-" + std::to_string(::getuid()) + "/");
  const std::string okumaGot = demoDir + "Temp/okuma-mottatt.nc";
  const std::string okumaPunched = demoDir + "Programmer/Okuma/FLENS.NC";
  // The Mazak offered its program 30 and took it back.
  const std::string mazakStored = demoDir + "Programmer/Mazak/0030.Maz";
  const std::string mazakGot = demoDir + "Temp/mazak-mottatt.txt";
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!(Exists(okumaGot) && Exists(okumaPunched) && Exists(mazakGot)) &&
         std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  demo.Signal(SIGTERM);
  EXPECT_EQ(demo.Wait(), 0);
  EXPECT_TRUE(Exists(demoDir + "Programmer/Dreiebenk/AKSEL.NC"));
  EXPECT_NE(ReadFile(okumaGot).find("O5000 (OKUMA DEMO)"), std::string::npos)
      << ReadFile(demoDir + "Demo/maskin4.log");
  EXPECT_NE(ReadFile(okumaPunched).find("(KUTT 50% MATING"), std::string::npos);
  EXPECT_EQ(ReadFile(mazakGot), ReadFile(mazakStored)) << ReadFile(demoDir + "Demo/maskin6.log");
  EXPECT_EQ(ReadFile(mazakGot).size(), 16u * 132u);
}

}  // namespace
}  // namespace zova::test
