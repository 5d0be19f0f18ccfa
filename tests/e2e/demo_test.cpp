// The demo command: its simulated controls make the serial machines
// transfer within seconds of the start, the Okuma lathe, the Heidenhain
// control, the LSV2 mill and the Mazak among them; the shop-floor terminal
// has a program sent to Fres 2, and a logging box records what Fres 1 does.

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
  EXPECT_NE(demo.WaitForLine("5 Melding: Program lagret", 15000), "") << demo.Stderr();
  // The Okuma lathe took its program behind the header it checks (its copy
  // is written only then) and punched one of its own.
  const std::string demoDir = dir / ("zova-demo-" + std::to_string(::getuid()) + "/");
  const std::string okumaGot = demoDir + "Temp/okuma-mottatt.nc";
  const std::string okumaPunched = demoDir + "Programmer/Okuma/FLENS.NC";
  // The Heidenhain control loads back what it saved.
  const std::string tncLoaded = demoDir + "Temp/tnc-mottatt.h";
  // The LSV2 mill asked for O6000 and offered O6001.
  const std::string lsv2Got = demoDir + "Temp/lsv2-mottatt.nc";
  const std::string lsv2Offered = demoDir + "Programmer/Lsv2/O6001.NC";
  // The Mazak offered its program 30 and took it back.
  const std::string mazakStored = demoDir + "Programmer/Mazak/0030.Maz";
  const std::string mazakGot = demoDir + "Temp/mazak-mottatt.txt";
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  // The logging box watching Fres 1 records its program start and spindle.
  const std::string records = demoDir + "Temp/MASKIN1.SDV";
  const auto boxRecorded = [&] {
    return Exists(records) && ReadFile(records).find(";10;SPINDEL\r\n") != std::string::npos;
  };
  while (!(Exists(okumaGot) && Exists(okumaPunched) && Exists(tncLoaded) && Exists(lsv2Got) &&
           Exists(lsv2Offered) && Exists(mazakGot) && boxRecorded()) &&
         std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  // The terminal's operator types a name and orders the send some seconds in.
  // Fres 2's control captures into the same file again at once, so it is
  // looked at while it holds the first program.
  const std::string terminalSent = demoDir + "Temp/fres2-mottatt.nc";
  const auto terminalUntil = std::chrono::steady_clock::now() + std::chrono::seconds(40);
  bool terminalGot = false;
  while (!(terminalGot = ReadFile(terminalSent).find("O1000 (DEMO)") != std::string::npos) &&
         std::chrono::steady_clock::now() < terminalUntil)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  demo.Signal(SIGTERM);
  EXPECT_EQ(demo.Wait(), 0);
  EXPECT_TRUE(Exists(demoDir + "Programmer/Dreiebenk/AKSEL.NC"));
  EXPECT_NE(ReadFile(okumaGot).find("O5000 (OKUMA DEMO)"), std::string::npos)
      << ReadFile(demoDir + "Demo/maskin4.log");
  EXPECT_NE(ReadFile(okumaPunched).find("(KUTT 50% MATING"), std::string::npos);
  EXPECT_EQ(ReadFile(tncLoaded), ReadFile(demoDir + "Programmer/TNC/P100.H"))
      << ReadFile(demoDir + "Demo/maskin5.log");
  EXPECT_EQ(ReadFile(tncLoaded), ReadFile(demoDir + "Demo/P100.H"));
  EXPECT_TRUE(terminalGot) << ReadFile(demoDir + "Demo/maskin6.log")
                           << ReadFile(demoDir + "Demo/maskin7.log");
  bool ordered = false;
  for (const std::string& l : demo.Lines()) ordered = ordered || l == "6 Status: Sending startet";
  EXPECT_TRUE(ordered);
  EXPECT_NE(ReadFile(lsv2Got).find("O6000 (LSV2 DEMO)"), std::string::npos)
      << ReadFile(demoDir + "Demo/maskin8.log");
  EXPECT_NE(ReadFile(lsv2Offered).find("O6001 (LOMME)"), std::string::npos);
  EXPECT_EQ(ReadFile(mazakGot), ReadFile(mazakStored)) << ReadFile(demoDir + "Demo/maskin9.log");
  EXPECT_EQ(ReadFile(mazakGot).size(), 16u * 132u);
  EXPECT_TRUE(boxRecorded()) << ReadFile(demoDir + "Demo/maskin10.log");
  EXPECT_NE(demo.Stderr().find("publiseres til 127.0.0.1:9 under zova/MaskinN"), std::string::npos)
      << demo.Stderr();
}

}  // namespace
}  // namespace zova::test
