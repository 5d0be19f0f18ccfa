// What the end-to-end tests of the terminal do not show: the display's
// scrolling and wrapping, a person's keys in interactive mode, and how a
// control in another format looks on a byte pipe.

#include <gtest/gtest.h>

#include "controls/terminal_control.h"
#include "controls/terminal_screen.h"
#include "controls/uart_control.h"

namespace zova::sim {
namespace {

TEST(TerminalScreen, DrawsAsTheTerminalDoes) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"\x1bL\x1bJTast inn filnavn:\r\n\r\nP1\b2", {"Tast inn filnavn:", "", "P2", ""}},
      {"A\r\nB\r\nC\r\nD\r\nE", {"B", "C", "D", "E"}},  // LF at the bottom scrolls
      {"ABCDEFGHIJ", {"ABCDE", "FGHIJ", "", ""}},       // five columns wrap
      {"XY\x1bJZ", {"ZY", "", "", ""}},                 // home without clearing
      {"\bA\rB", {"B", "", "", ""}},
  };
  for (const Case& c : cases) {
    TerminalScreen s(4, c.bytes == "ABCDEFGHIJ" ? 5 : 40);
    s.Feed(c.bytes);
    EXPECT_EQ(s.Lines(), c.lines) << c.bytes;
  }
}

TEST(TerminalScreen, KeysAPersonTypes) {
  EXPECT_EQ(TerminalKeyCodes("p12\n"), "P12\r");
  EXPECT_EQ(TerminalKeyCodes("AB\x7f"
                             "C"),
            "AB\bC");
  EXPECT_EQ(TerminalKeyCodes("\x1bOP\x1bOQ\x1bOR\x1bOS\x1b[15~"), "\x11\x12\x13\x14\x15");
  EXPECT_EQ(TerminalKeyCodes("\x1b\t\x10+,"), "\x1b\t\x10+,");
}

TEST(UartControl, FormatsOnAPipeReadAsEightBitsWithoutParity) {
  struct Case {
    const char* format;
    uint8_t in, out;
  } cases[] = {
      {"7E1", 'G', 0x47},  {"7E1", 'C', 0xC3},  {"7O1", 'G', 0xC7}, {"7N1", 'C', 0xC3},
      {"8N1", 0xC3, 0xC3}, {"8E1", 0xC3, 0xC3}, {"7E2", 'C', 0xC3},
  };
  for (const Case& c : cases) {
    UartCharFormat f;
    ASSERT_TRUE(ParseUartFormat(c.format, f)) << c.format;
    EXPECT_EQ(OnTheWire(c.in, f), c.out) << c.format << " " << c.in;
  }
  UartCharFormat f;
  EXPECT_FALSE(ParseUartFormat("9N1", f));
  EXPECT_FALSE(ParseUartFormat("8X1", f));
  EXPECT_FALSE(ParseUartFormat("8N3", f));
  EXPECT_EQ(UartCharFormat{}.Bits(), 10);
  EXPECT_EQ((UartCharFormat{7, 'E', 2}.Bits()), 11);
}

}  // namespace
}  // namespace zova::sim
