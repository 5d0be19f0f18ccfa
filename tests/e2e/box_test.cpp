// The logging box through the real station and the simulated box: signal
// changes become status records of the monitored machine (checked byte for
// byte apart from the time stamp), the contact is checked on the station's
// clock, a reset re-sends the mask, and nothing can be sent to the box.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "e2e/support/station_fixture.h"

namespace zova::test {
namespace {

const std::string kProgram = "%\r\nO1000\r\nG0 X1\r\nM30\r\n%\r\n";

struct Box : StationFixture {
  std::string ini;

  // Machine 1 is a standard machine, machine 2 the box watching it.
  void Configure(const std::string& boxKeys, const std::string& program = "") {
    ini = WriteIni(2, "StoppKode=%\r\n", "", OwnWebPort() + program);
    std::string text = ReadFile(ini);
    const std::string box = "[Maskin2]\r\nNavn=Fres 2\r\nProtokoll=STANDARD\r\n";
    const size_t at = text.find(box);
    text.replace(at, box.size(),
                 "[Maskin2]\r\nNavn=Loggeboks\r\nProtokoll=LOGGEBOKS\r\n" + boxKeys);
    WriteFile(ini, text);
  }
  void ClockScale(const std::string& scale) {
    for (std::string& e : env)
      if (e.rfind("ZOVA_CLOCK_SCALE=", 0) == 0) e = "ZOVA_CLOCK_SCALE=" + scale;
  }
  std::unique_ptr<Process> BoxControl(const std::vector<std::string>& commands) {
    std::vector<std::string> script{"wait-open --timeout 30000"};
    script.insert(script.end(), commands.begin(), commands.end());
    return Control(2, script, "box");
  }
  // The monitored machine's status records without their time stamps.
  // LoggeFil is read upper-cased, its default too.
  std::vector<std::string> Records(int machine = 1) {
    return Records("MASKIN" + std::to_string(machine) + ".SDV");
  }
  std::vector<std::string> Records(const std::string& name) {
    std::vector<std::string> out;
    std::istringstream in(ReadFile(dir / name));
    for (std::string line; std::getline(in, line);) {
      EXPECT_TRUE(!line.empty() && line.back() == '\r') << "CR LF line ends: " << line;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const size_t semi = line.find(';');
      EXPECT_NE(semi, std::string::npos) << line;
      EXPECT_GT(semi, 0u) << "a time stamp: " << line;
      out.push_back(line.substr(semi == std::string::npos ? 0 : semi));
    }
    return out;
  }
  void Go() { WriteFile(dir / "go", ""); }
};

TEST_F(Box, SignalChangesBecomeRecordsOfTheMonitoredMachine) {
  Configure(
      "Maskin=1\r\nMaskeInv=00FF00FF\r\nBit3,1=10\r\nParameterBit3,1=start\r\n"
      "Bit0,1=1\r\nBit0,0=2\r\nBit5,1=108\r\nParameterBit5,1=X\r\nBit6,1=0\r\n");
  auto machine = Control(
      1, {"wait-open --timeout 30000", "capture " + (dir / "got.nc") + " --until % --first 30000"});
  // The first report sets the word (signal 6 already up: no record); then
  // signal 3 rises (10 START), signal 0 rises (1 and the file name), both
  // fall (2 "1" for signal 0, nothing for signal 3), signal 5 rises (108
  // "1"), and a report with noise inside raises signal 3 again.
  auto box = BoxControl(
      {"box-serve 5000 --word 0040", "wait-file " + (dir / "go") + " --timeout 30000",
       "box-set 0048 --serve 300", "box-set 0049 --serve 300", "box-set 0040 --serve 300",
       "box-set 0060 --serve 300", "request \"[STX]0z0x6[XON]8[ETX]\"", "box-serve 1000"});
  WriteFile(MachineDir(1) + "O1000.NC", kProgram);
  auto station = Station(ini);
  Expect(*station, "2 Status: Loggedata lest");
  EXPECT_NE(box->WaitForLine("box: mask 00FF00FF"), "") << box->Stderr();
  EXPECT_EQ(RunCtl(ini, {"send", "1", "O1000.NC"}), 0);
  Expect(*station, "1 Status: Fil sendt");
  Go();
  Expect(*station, "2 Melding: Logget $0068");
  EXPECT_EQ(box->Wait(30000), 0) << box->Stderr();
  Stop(*station);
  EXPECT_EQ(Records(), (std::vector<std::string>{";10;START", ";1;O1000", ";2;1", ";108;1",
                                                 ";10;START", ";200;"}));
  EXPECT_EQ(machine->Wait(30000), 0) << machine->Stderr();
}

TEST_F(Box, TheContactIsCheckedEverySjekkTidAndASilentBoxOncePerInterval) {
  // An hour of the station's clock is two seconds here; a turn of the driver
  // with a check that gets no answer takes a few tenths (its read timeouts).
  ClockScale("1800");
  Configure("Maskin=1\r\nSjekkTid=1\r\n");
  auto box = BoxControl({"box-serve 7000 --word 0000", "box-silent 6500", "box-serve 30000"});
  auto station = Station(ini);
  Expect(*station, "2 Melding: Ingen kontakt med loggeboks");
  const std::string silent = box->WaitForLine("box-silent: ", 30000);
  // The box answers again: the next check is recorded as answered. (Once
  // the box itself is gone, every check would miss it.)
  const auto answeredAgain = [&] {
    const std::vector<std::string> r = Records();
    const auto last201 = std::find(r.rbegin(), r.rend(), ";201;");
    return last201 != r.rend() && std::find(r.rbegin(), last201, ";202;") != last201;
  };
  for (int i = 0; i < 300 && !answeredAgain(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  Stop(*station);
  box->Signal(SIGTERM);
  box->Wait();
  const std::vector<std::string> records = Records();
  const auto count = [&](const std::string& r) {
    return std::count(records.begin(), records.end(), r);
  };
  const long missed = count(";201;");
  EXPECT_GE(count(";202;"), 2) << "answered checks, each recorded";
  EXPECT_GE(missed, 2);
  EXPECT_LE(missed, 5) << "one 201 line per two seconds of silence, not one per idle turn";
  EXPECT_NE(silent, "");
  EXPECT_LE(std::atol(silent.substr(silent.find(':') + 1).c_str()), 5)
      << "the silent box is asked once per interval";
  EXPECT_TRUE(answeredAgain());
  EXPECT_EQ(records.back(), ";200;");
}

TEST_F(Box, AResetResendsTheMaskAndChecksAgain) {
  Configure("Maskin=1\r\nMaskeInv=ABCDEFGH\r\nBit1,1=10\r\nParameterBit1,1=TEST\r\n");
  auto box = BoxControl(
      {"box-serve 3000 --word 0000", "box-reset --serve 2000", "box-set 0002 --serve 500"});
  auto station = Station(ini);
  Expect(*station, "2 Status: Loggeboks resatt");
  EXPECT_EQ(box->Wait(30000), 0) << box->Stderr();
  Stop(*station);
  int masks = 0;
  for (const std::string& l : box->Lines()) masks += l == "box: mask ABCDEFGH";
  EXPECT_EQ(masks, 2) << "at start and after the reset";
  EXPECT_EQ(Records(), (std::vector<std::string>{";10;TEST", ";200;"}))
      << "the word survives the reset; no contact was missed";
}

TEST_F(Box, AReportCutShortFailsAndAShortMaskIsNotSent) {
  Configure("Maskin=1\r\nMaskeInv=1234567\r\nBit1,1=10\r\n");
  auto box = BoxControl({"box-serve 3000 --word 0000", "request \"[STX]00\"", "box-silent 1500",
                         "box-set 0002 --serve 500"});
  auto station = Station(ini);
  Expect(*station, "2 Status: Logging feilet");
  Expect(*station, "2 Status: Loggedata lest");
  EXPECT_EQ(box->Wait(30000), 0) << box->Stderr();
  Stop(*station);
  for (const std::string& l : box->Lines())
    EXPECT_EQ(l.find("box: mask"), std::string::npos) << "seven characters are not sent";
  EXPECT_EQ(Records(), (std::vector<std::string>{";10;", ";200;"}))
      << "the cut report changed nothing";
}

TEST_F(Box, AnOperatorSendIsRefusedAndNothingGoesToTheBox) {
  Configure("Maskin=1\r\n");
  auto box = BoxControl({"box-serve 3000 --word 0000",
                         "wait-file " + (dir / "go") + " --timeout 30000", "box-silent 1500"});
  auto station = Station(ini);
  Expect(*station, "2 Status: Loggedata lest");
  // The box takes the orders of a command machine.
  std::string err;
  EXPECT_EQ(RunCtl(ini, {"command", "2", "TEST"}, nullptr, &err), 0) << err;
  Expect(*station, "2 Status: Teste loggeboks");
  Expect(*station, "2 Melding: Muligheten er sperret");
  Go();
  EXPECT_EQ(box->Wait(30000), 0) << box->Stderr();
  EXPECT_NE(box->WaitForLine("box-silent: 0 ENQ"), "");
  Stop(*station);
}

TEST_F(Box, ARecordFileHeldByAnotherProgramGoesToTheFallbackAndLeavesAGapLine) {
  Configure("Maskin=1\r\nBit1,1=10\r\nParameterBit1,1=gap\r\n");
  auto box =
      BoxControl({"box-serve 5000 --word 0000", "wait-file " + (dir / "go") + " --timeout 30000",
                  "box-set 0002 --serve 300", "wait-file " + (dir / "go2") + " --timeout 30000",
                  "box-set 0000 --serve 300", "box-set 0002 --serve 500"});
  auto station = Station(ini);
  Expect(*station, "2 Status: Loggedata lest");
  // Another program holds the monitored machine's file.
  const std::string held = dir / "MASKIN1.SDV";
  const int fd = ::open(held.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::lockf(fd, F_LOCK, 0), 0);
  Go();
  // After its tries the record lands in the box's own file (named as its
  // section is spelt: the fallback is not read from the configuration).
  const std::string fallback = dir / "Maskin2.SDV";
  for (int i = 0; i < 300 && !(Exists(fallback) && !ReadFile(fallback).empty()); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ::close(fd);
  WriteFile(dir / "go2", "");
  EXPECT_EQ(box->Wait(30000), 0) << box->Stderr();
  Stop(*station);
  EXPECT_EQ(Records("Maskin2.SDV"), (std::vector<std::string>{";10;GAP"}));
  EXPECT_EQ(Records(1), (std::vector<std::string>{";203;", ";10;GAP", ";200;"}))
      << "the next record in the real file says that records are missing there";
}

}  // namespace
}  // namespace zova::test
