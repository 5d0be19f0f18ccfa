// The loopback cable's UARTs: what a receiver hears from a sender in another
// format, and that the cable itself delivers it marked.

#include "serial/device/uart_timing.h"

#include <gtest/gtest.h>

#include "serial/device/loopback_device.h"

namespace zova {
namespace {

const UartFormat k8N1_2400{2400, 8, Parity::None, 1};
const UartFormat k7E1_2400{2400, 7, Parity::Even, 1};
const UartFormat k8E1_2400{2400, 8, Parity::Even, 1};
const UartFormat k8N2_2400{2400, 8, Parity::None, 2};

std::string Values(const std::vector<UartChar>& cs) {
  std::string s;
  for (const UartChar& c : cs) s += static_cast<char>(c.value);
  return s;
}

int Faults(const std::vector<UartChar>& cs) {
  int n = 0;
  for (const UartChar& c : cs) n += c.framingError || c.parityError;
  return n;
}

TEST(UartTiming, SameRateFormatsThatFitCarryTheBits) {
  const std::string text = "G01 X-12.5 C3\r\n";
  struct Case {
    UartFormat tx, rx;
    std::string want;
    int faults;
  } cases[] = {
      {k8N1_2400, k8N1_2400, text, 0},
      {k8N2_2400, k8N1_2400, text, 0},  // a second stop bit is idle line
      {k8N1_2400, k8N2_2400, text, 0},  // the receiver checks one
      {k7E1_2400, k7E1_2400, text, 0},
      {k8E1_2400, k8E1_2400, text, 0},
  };
  for (const Case& c : cases) {
    const auto got = ReceiveAcross(text, c.tx, c.rx);
    EXPECT_EQ(Values(got), c.want);
    EXPECT_EQ(Faults(got), c.faults);
  }
}

TEST(UartTiming, SevenEvenReadAsEightNoneShowsTheParityAsTheHighBit) {
  // "G" has four ones (parity 0), "C" three (parity 1).
  const auto got = ReceiveAcross("GC", k7E1_2400, k8N1_2400);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], (UartChar{0x47, false, false}));
  EXPECT_EQ(got[1], (UartChar{0xC3, false, false}));
  // The other way round the receiver takes the stop bit for the parity bit:
  // right for "C", wrong for "G".
  const auto back = ReceiveAcross("CG", k8N1_2400, k8E1_2400);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_FALSE(back[0].parityError);
  EXPECT_TRUE(back[1].parityError);
}

TEST(UartTiming, WrongRatesGarbleAndBreakFrames) {
  const std::string text = "%\r\nO1000 (BRAKETT)\r\nG0 X10 Y20\r\nG1 Z-5 F100\r\nM30\r\n%\r\n";
  for (int rx : {19200, 9600, 4800, 1200, 600}) {
    const auto got = ReceiveAcross(text, k7E1_2400, {rx, 8, Parity::None, 1});
    EXPECT_GT(Faults(got), 0) << rx;
    EXPECT_NE(Values(got), text) << rx;
  }
  // A faster receiver hears more characters than were sent, a slower fewer.
  EXPECT_GT(ReceiveAcross(text, k8N1_2400, {19200, 8, Parity::None, 1}).size(), text.size());
  EXPECT_LT(ReceiveAcross(text, k8N1_2400, {600, 8, Parity::None, 1}).size(), text.size());
}

TEST(UartTiming, LoopbackEndsInDifferentFormatsMarkWhatTheReceiverGetsWrong) {
  LoopbackPair pair;
  int err = 0;
  LineSettings station;
  station.baud = 19200;
  station.markErrors = true;
  LineSettings control;
  control.baud = 2400;
  ASSERT_TRUE(pair.a->Configure(station, err));
  ASSERT_TRUE(pair.b->Configure(control, err));
  const std::string text = "G0 X10 Y20\r\n";
  pair.b->Write(reinterpret_cast<const uint8_t*>(text.data()), text.size(), 100);
  uint8_t buf[512];
  const IoResult r = pair.a->Read(buf, sizeof buf, 100);
  const std::string got(reinterpret_cast<char*>(buf), r.count);
  EXPECT_NE(got.find(std::string("\xFF\x00", 2)), std::string::npos) << "marked errors";
  EXPECT_GT(pair.a->GetLineErrors()->frame, 0u);

  // The same format again: the bytes as sent, a real 0xFF doubled.
  ASSERT_TRUE(pair.b->Configure(station, err));
  const std::string ff = "A\xFF";
  pair.b->Write(reinterpret_cast<const uint8_t*>(ff.data()), ff.size(), 100);
  const IoResult r2 = pair.a->Read(buf, sizeof buf, 100);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), r2.count), "A\xFF\xFF");
}

}  // namespace
}  // namespace zova
