// zova baud without the program around it: its arguments, and the search on
// a loopback cable whose far end is a control sending 7E1 at 2,400 baud.

#include "app/baud_command.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/config/config.h"
#include "serial/device/loopback_device.h"
#include "support/test_support.h"
#include "support/uart_sender.h"

namespace zova::app {
namespace {

const char kIni[] =
    "[Program]\r\nMaskiner=2\r\n[Maskin1]\r\nNavn=FRES\r\nPort=COM3\r\n[Maskin2]\r\nNavn="
    "DREIEBENK\r\n"
    "[COM3]\r\nEnhet=loop:cli\r\nBaud=9600\r\n[COM4]\r\nEnhet=loop:nowhere\r\n";

TEST(BaudCommand, Arguments) {
  test::ScopedIni ini(kIni);
  struct Case {
    std::vector<std::string> args;
    int machine;  // 0: refused
    int min, max, bit, stop;
    bool write;
    const char* error;
  } cases[] = {
      {{"1"}, 1, 300, 19200, 8, 1, false, ""},
      {{"dreiebenk", "--max", "38400", "--min", "1200", "--bits", "9", "--stop", "2", "--write"},
       2,
       1200,
       38400,
       9,
       2,
       true,
       ""},
      {{}, 0, 0, 0, 0, 0, false, "mangler MASKIN"},
      {{"3"}, 0, 0, 0, 0, 0, false, "ukjent maskin: 3"},
      {{"FRES", "1"}, 0, 0, 0, 0, 0, false, "ukjent argument 1"},
      {{"1", "--bits", "6"}, 0, 0, 0, 0, 0, false, "--bits er 7, 8 eller 9"},
      {{"1", "--stop", "3"}, 0, 0, 0, 0, 0, false, "--stop er 1 eller 2"},
      {{"1", "--max"}, 0, 0, 0, 0, 0, false, "--max trenger et tall"},
      {{"1", "--min", "9600", "--max", "4800"}, 0, 0, 0, 0, 0, false, "--min"},
      {{"1", "--fort"}, 0, 0, 0, 0, 0, false, "ukjent argument --fort"},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto plan = PlanBaud(c.args, error);
    ASSERT_EQ(plan.has_value(), c.machine != 0) << error;
    if (!plan) {
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
      continue;
    }
    EXPECT_EQ(plan->machine, c.machine);
    EXPECT_EQ(plan->settings.minBaud, c.min);
    EXPECT_EQ(plan->settings.maxBaud, c.max);
    EXPECT_EQ(plan->settings.bit, c.bit);
    EXPECT_EQ(plan->settings.stopBits, c.stop);
    EXPECT_EQ(plan->write, c.write);
  }
}

struct Outcome {
  int rc = 0;
  std::string out, err;
};

Outcome Search(const BaudPlan& plan, const std::function<bool()>& stop) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  Outcome r;
  r.rc = RunBaudCommand(plan, out, err, stop);
  auto slurp = [](std::FILE* f) {
    std::string s;
    std::rewind(f);
    for (int ch; (ch = std::fgetc(f)) != EOF;) s += static_cast<char>(ch);
    std::fclose(f);
    return s;
  };
  r.out = slurp(out);
  r.err = slurp(err);
  return r;
}

struct BaudSearchCommand : ::testing::Test {
  test::ScopedIni ini{kIni};
  std::unique_ptr<test::UartSender> control;

  void SetUp() override {
    LoopbackPair pair("cli");
    ParkLoopbackEnd("cli", std::move(pair.a));
    LineSettings f;
    f.baud = 2400;
    f.dataBits = 7;
    f.parity = Parity::Even;
    control = std::make_unique<test::UartSender>(std::move(pair.b), f, "G1 X12.5 C3 (PROGRAM)\r\n");
  }
};

TEST_F(BaudSearchCommand, PrintsTheRatesTriedAndWritesWhatItFound) {
  std::string error;
  const auto plan = PlanBaud({"1", "--write"}, error);
  ASSERT_TRUE(plan) << error;
  const Outcome r = Search(*plan, [] { return false; });
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out.find("COM3 (loop:cli): 8 bit, 1 stoppbit, 19200 ned til 300 baud\n"
                       "Baud: 19200\nSynkroniserer\nSjekker\nBaud: 9600\n"),
            0u)
      << r.out;
  EXPECT_NE(r.out.find("Baud: 2400\nSynkroniserer\nSjekker\nDetektert\nAvsluttet\n[COM3]\n"
                       "Baud=2400\nKode=ISO\nBit=8\nParitet=N\nStoppBit=1\nSkrevet til [COM3]\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("Baud: 1200"), std::string::npos) << r.out;
  EXPECT_EQ(ReadIniStr("COM3", "Baud", ""), "2400");
  EXPECT_EQ(ReadIniStr("COM3", "Kode", ""), "ISO");
  EXPECT_EQ(ReadIniStr("COM3", "Paritet", ""), "N");
  EXPECT_EQ(ReadIniStr("COM3", "Enhet", ""), "loop:cli") << "the rest of the section stays";
}

TEST_F(BaudSearchCommand, WithoutWriteTheFileStaysAndAStopBeforeARateFindsNone) {
  std::string error;
  const Outcome shown = Search(*PlanBaud({"FRES", "--min", "2400"}, error), [] { return false; });
  EXPECT_EQ(shown.rc, 0);
  EXPECT_NE(shown.out.find("Ikke skrevet"), std::string::npos) << shown.out;
  EXPECT_EQ(ReadIniStr("COM3", "Baud", ""), "9600");

  TakeLoopbackEnd("cli");
  LoopbackPair quiet("cli");
  ParkLoopbackEnd("cli", std::move(quiet.a));
  int asked = 0;
  const Outcome stopped = Search(*PlanBaud({"1"}, error), [&] { return ++asked > 5; });
  EXPECT_EQ(stopped.rc, 1);
  EXPECT_NE(stopped.out.find("Synkroniserer\nAvsluttet\nIngen baudrate funnet\n"),
            std::string::npos)
      << stopped.out;
}

TEST(BaudCommand, APortThatCannotBeOpenedSaysWhich) {
  test::ScopedIni ini(kIni);
  std::string error;
  const Outcome r = Search(*PlanBaud({"2"}, error), [] { return true; });
  EXPECT_EQ(r.rc, 2);
  EXPECT_NE(r.err.find("zova baud: COM4 (loop:nowhere): "), std::string::npos) << r.err;
}

}  // namespace
}  // namespace zova::app
