// The baud-rate search without a line (the rates tried, the phases, the
// marked input, the settings written) and on a loopback cable with a control
// that sends in a format of its own.

#include "serial/baud/baud_search.h"

#include <gtest/gtest.h>

#include "core/config/config.h"
#include "serial/baud/baud_detector.h"
#include "serial/baud/marked_input.h"
#include "support/test_support.h"
#include "support/uart_sender.h"

namespace zova {
namespace {

const std::string kProgram =
    "%\r\nO1000 (BRAKETT)\r\nN10 G0 X10. Y20.\r\nN20 G1 Z-5. F100\r\nN30 G2 X15. Y25. "
    "R5.\r\nN40 M30\r\n%\r\n";

TEST(BaudSearch, RatesGoDownByHalvesAndStartAgainBelowTheMinimum) {
  const BaudSearchSettings s{300, 19200, 8, 1};
  std::vector<int> rates{19200};
  for (int i = 0; i < 7; ++i) rates.push_back(NextBaudRate(rates.back(), s));
  EXPECT_EQ(rates, (std::vector<int>{19200, 9600, 4800, 2400, 1200, 600, 300, 19200}));
  EXPECT_EQ(NextBaudRate(2400, {2400, 38400, 8, 1}), 38400);
  EXPECT_EQ(NextBaudRate(300, {150, 19200, 8, 1}), 150);
}

TEST(BaudSearch, FiftyToSynchroniseThenFiftyWithoutAFault) {
  BaudSearch s({300, 19200, 8, 1});
  for (int i = 1; i < kBaudSyncChars; ++i) EXPECT_EQ(s.Feed(true), BaudSearch::Step::None);
  EXPECT_EQ(s.Feed(true), BaudSearch::Step::Checking) << "faults while synchronising count not";
  for (int i = 1; i < kBaudCheckChars; ++i) s.Feed(i == 30);
  EXPECT_EQ(s.Feed(false), BaudSearch::Step::NextRate);
  EXPECT_EQ(s.Rate(), 9600);
  EXPECT_EQ(s.Phase(), BaudPhase::Synchronising);
  for (int i = 1; i < kBaudSyncChars + kBaudCheckChars; ++i) s.Feed(false);
  EXPECT_EQ(s.Feed(false), BaudSearch::Step::Detected);
  EXPECT_EQ(s.Rate(), 9600);
  EXPECT_EQ(s.Feed(true), BaudSearch::Step::None) << "detected stays detected";
}

TEST(BaudSearch, TestConditionsAndTheKeysTheAnswersWrite) {
  struct Case {
    int bit, stop;
    int dataBits;
    Parity parity;
    bool high;
    const char *kode, *bitKey, *paritet;
  } cases[] = {
      {8, 1, 8, Parity::None, true, "ISO", "8", "N"},
      {8, 2, 8, Parity::None, false, "Ascii", "8", "N"},
      {7, 1, 7, Parity::None, false, "Ascii", "7", "N"},
      {9, 1, 8, Parity::Even, true, "ISO", "8", "E"},
      {9, 2, 8, Parity::Even, false, "Ascii", "8", "E"},
  };
  for (const Case& c : cases) {
    const LineSettings l = DetectionLine(4800, {300, 19200, c.bit, c.stop});
    EXPECT_EQ(l.baud, 4800);
    EXPECT_EQ(l.dataBits, c.dataBits) << c.bit;
    EXPECT_EQ(l.parity, c.parity) << c.bit;
    EXPECT_EQ(l.stopBits, c.stop);
    EXPECT_TRUE(l.markErrors);
    const BaudCodeKeys k = CodeKeys(c.high, c.bit);
    EXPECT_EQ(k.kode, c.kode);
    EXPECT_EQ(k.bit, c.bitKey);
    EXPECT_EQ(k.paritet, c.paritet);
  }
  EXPECT_EQ(BaudFromText("19200", 1), 19200);
  EXPECT_EQ(BaudFromText("19k2", 19200), 19200);
  EXPECT_EQ(BaudFromText("", 300), 300);
  EXPECT_EQ(BaudFromText("-5", 300), 300);
  EXPECT_EQ(RateQuestion(2400), "Sette baud-rate til 2400?");
  EXPECT_EQ(CodeQuestion(true), "Sette kode til ISO?");
  EXPECT_EQ(CodeQuestion(false), "Sette kode til Ascii?");
  EXPECT_EQ(StopQuestion(2), "Sette stoppbit til 2?");
  uint8_t shownHigh = 0;
  bool high = false;
  EXPECT_EQ(ShownChar('C', high), 'C');
  EXPECT_FALSE(high);
  EXPECT_EQ((shownHigh = ShownChar(0xC3, high)), 'C');
  EXPECT_TRUE(high);
}

TEST(BaudSearch, MarkedInputTakesTheKernelsMarksApart) {
  const std::string in(
      "A\xFF\xFF"
      "B\xFF\x00"
      "C\xFF\x00\xFF"
      "D\xFF"
      "E",
      13);
  MarkedInput m;
  std::string values, faults;
  for (char b : in) {
    MarkedChar c;
    if (m.Feed(static_cast<uint8_t>(b), c)) {
      values += static_cast<char>(c.value);
      faults += c.faulty ? 'x' : '.';
    }
  }
  EXPECT_EQ(values,
            "A\xFF"
            "BC\xFF"
            "DE");
  EXPECT_EQ(faults, "...xx..");
  EXPECT_FALSE(m.Pending());
}

TEST(BaudSearch, WritesOnlyTheAnsweredKeys) {
  test::ScopedIni ini("[COM3]\r\nBaud=9600\r\nKode=Ascii\r\n");
  ASSERT_TRUE(WriteBaudAnswers("COM3", 2400, true, {300, 19200, 9, 2}, false, true, true));
  EXPECT_EQ(ReadIniStr("COM3", "Baud", ""), "9600");
  EXPECT_EQ(ReadIniStr("COM3", "Kode", ""), "ISO");
  EXPECT_EQ(ReadIniStr("COM3", "Bit", ""), "8");
  EXPECT_EQ(ReadIniStr("COM3", "Paritet", ""), "E");
  EXPECT_EQ(ReadIniStr("COM3", "StoppBit", ""), "2");
  ASSERT_TRUE(WriteBaudAnswers("COM3", 2400, true, {300, 19200, 9, 2}, true, false, false));
  EXPECT_EQ(ReadIniStr("COM3", "Baud", ""), "2400");
}

// The detection on a loopback cable whose far end is a control sending
// Program in Format.
struct Detection : ::testing::Test {
  test::ScopedIni ini{"[Maskin1]\r\nPort=COM3\r\n[COM3]\r\nEnhet=loop:baud\r\n"};
  std::unique_ptr<test::UartSender> control;
  std::vector<int> rates;
  std::vector<std::string> statuses;
  int chars = 0, faulty = 0;

  void Connect(const LineSettings& format, bool sends = true) {
    LoopbackPair pair("baud");
    ParkLoopbackEnd("baud", std::move(pair.a));
    if (sends) control = std::make_unique<test::UartSender>(std::move(pair.b), format, kProgram);
  }
  static LineSettings Format(int baud, int bits, Parity p) {
    LineSettings l;
    l.baud = baud;
    l.dataBits = bits;
    l.parity = p;
    return l;
  }
  BaudOutcome Detect(const BaudSearchSettings& s, std::function<bool()> stop, int showAfter = 60) {
    BaudDetector d;
    int err = 0;
    EXPECT_EQ(d.Open(DetectionPort(1), s, err), BaudOpenFault::None) << err;
    BaudEvents e;
    e.onRate = [&](int r) { rates.push_back(r); };
    e.onStatus = [&](const std::string& st) { statuses.push_back(st); };
    e.onChar = [&](uint8_t, bool f, int count) {
      chars = count;
      faulty += f;
    };
    e.stop = std::move(stop);
    e.enough = [=](int since) { return since >= showAfter; };
    BaudOutcome out = d.Run(e);
    d.Close();
    return out;
  }
};

TEST_F(Detection, SevenEvenAt2400IsFoundFrom19200AndAsksForIso) {
  Connect(Format(2400, 7, Parity::Even));
  const BaudOutcome out = Detect({300, 19200, 8, 1}, [] { return false; });
  EXPECT_TRUE(out.detected);
  EXPECT_EQ(out.rate, 2400);
  EXPECT_EQ(rates, (std::vector<int>{19200, 9600, 4800, 2400}));
  EXPECT_TRUE(out.highBitSeen) << "parity bits read as the eighth data bit";
  EXPECT_EQ(statuses.back(), "Detektert");
  EXPECT_GT(faulty, 0);
}

TEST_F(Detection, NineBitsMeansEightWithEvenParity) {
  Connect(Format(2400, 8, Parity::Even));
  const BaudOutcome out = Detect({300, 19200, 9, 1}, [] { return false; });
  EXPECT_TRUE(out.detected);
  EXPECT_EQ(out.rate, 2400);
  EXPECT_FALSE(out.highBitSeen);
  ASSERT_TRUE(
      WriteBaudAnswers("COM3", out.rate, out.highBitSeen, {300, 19200, 9, 1}, true, true, true));
  EXPECT_EQ(ReadIniStr("COM3", "Baud", ""), "2400");
  EXPECT_EQ(ReadIniStr("COM3", "Kode", ""), "Ascii");
  EXPECT_EQ(ReadIniStr("COM3", "Bit", ""), "8");
  EXPECT_EQ(ReadIniStr("COM3", "Paritet", ""), "E");
  EXPECT_EQ(ReadIniStr("COM3", "StoppBit", ""), "1");
}

TEST_F(Detection, StoppEndsEachPhase) {
  struct Case {
    const char* phase;  // stop once this status was reported
    bool sends;
    bool detected;
  } cases[] = {
      {"Synkroniserer", false, false},  // a control that sends nothing
      {"Synkroniserer", true, false},
      {"Sjekker", true, false},
      {"Detektert", true, true},
  };
  for (const Case& c : cases) {
    rates.clear();
    statuses.clear();
    Connect(Format(2400, 8, Parity::None), c.sends);
    const std::string phase = c.phase;
    const BaudOutcome out = Detect(
        {2400, 2400, 8, 1}, [&] { return !statuses.empty() && statuses.back() == phase; }, 1000000);
    EXPECT_EQ(out.detected, c.detected) << c.phase;
    EXPECT_EQ(statuses.back(), c.phase);
    control.reset();
    TakeLoopbackEnd("baud");
  }
}

TEST_F(Detection, APortThatCannotBeOpenedIsReportedAsSuch) {
  BaudDetector d;
  int err = 0;
  EXPECT_EQ(d.Open("COM3", {}, err), BaudOpenFault::NoDevice);
  EXPECT_NE(err, 0);
  EXPECT_FALSE(d.IsOpen());
  EXPECT_FALSE(d.Run({}).detected);
}

}  // namespace
}  // namespace zova
