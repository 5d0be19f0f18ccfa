// The demo command: its simulated controls make the serial machines
// transfer within seconds of the start, the Okuma lathe among them, and its
// logging box records what Fres 1 does.

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
       "ZOVA_USER_REGISTRY=" + (dir / "user.ini"), std::string("ZOVA_CNCSIM=") + CNCSIM_EXE,
       // No broker listens there: the demo still runs, and says where it
       // publishes.
       "ZOVA_MQTT=127.0.0.1:9"});
  EXPECT_NE(demo.WaitForLine("1 Status: Fil sendt", 15000), "") << demo.Stderr();
  EXPECT_NE(demo.WaitForLine("2 Status: Data lagret", 15000), "") << demo.Stderr();
  // The Okuma lathe took its program behind the header it checks (its copy
  // is written only then) and punched one of its own.
  const std::string demoDir = dir / ("zova-demo-" + std::to_string(::getuid()) + "/");
  const std::string okumaGot = demoDir + "Temp/okuma-mottatt.nc";
  const std::string okumaPunched = demoDir + "Programmer/Okuma/FLENS.NC";
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  // The logging box watching Fres 1 records its program start and spindle.
  const std::string records = demoDir + "Temp/MASKIN1.SDV";
  const auto boxRecorded = [&] {
    return Exists(records) && ReadFile(records).find(";10;SPINDEL\r\n") != std::string::npos;
  };
  while (!(Exists(okumaGot) && Exists(okumaPunched) && boxRecorded()) &&
         std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  demo.Signal(SIGTERM);
  EXPECT_EQ(demo.Wait(), 0);
  EXPECT_TRUE(Exists(demoDir + "Programmer/Dreiebenk/AKSEL.NC"));
  EXPECT_NE(ReadFile(okumaGot).find("O5000 (OKUMA DEMO)"), std::string::npos)
      << ReadFile(demoDir + "Demo/maskin4.log");
  EXPECT_NE(ReadFile(okumaPunched).find("(KUTT 50% MATING"), std::string::npos);
  EXPECT_TRUE(boxRecorded()) << ReadFile(demoDir + "Demo/maskin6.log");
  EXPECT_NE(demo.Stderr().find("publiseres til 127.0.0.1:9 under zova/MaskinN"), std::string::npos)
      << demo.Stderr();
}

}  // namespace
}  // namespace zova::test
