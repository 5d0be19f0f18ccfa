#include "core/visual.h"

#include <gtest/gtest.h>

#include <random>

#include "support/test_support.h"

namespace zova {
namespace {

struct DecodeCase {
  std::string in;
  std::string out;
  bool notice;
};

TEST(VisualNotation, DecodesTokensAsTabled) {
  const DecodeCase cases[] = {
      {"[CR][LF]", "\r\n", false},
      {"[eot][etx][dc4]", "\x04\x03\x14", false},
      {"%[CR]", "%\r", false},
      {"[91]", "[", false},
      {"AB", "AB", false},
      {"[C", "[C", false},
      {"A[CRLF]B", "AB", true},
      {"[cr]", "\r", false},
      {"[DC1]", "", true},
      {"[DEL]", "", true},
      {"[XOFF]", "\x13", false},
      {"[XON]", "\x11", false},
      {"[13]", "\r", false},
      {"[013]", "\r", false},
      {"[255]", "\xFF", false},
      {"[$0D]", "\r", false},
      {"[x0D]", "\r", false},
      {"[256]", "", true},
      {"[NUL]x", std::string("\0x", 2), false},
      {"abc", "abc", false},
      {"[ABCDEFG]", "ABCDEFG]", true},  // no "]" within six bytes: the "[" is dropped
      {"x[", "x[", false},              // shorter than three bytes
      {"ab[", "ab", true},
  };
  for (const auto& c : cases) {
    test::ScopedUiHost ui;
    std::string s = c.in;
    VisualToStr(s);
    EXPECT_EQ(s, c.out) << c.in;
    EXPECT_EQ(ui.host.NoticeCount(), c.notice ? 1u : 0u) << c.in;
    if (c.notice) {
      EXPECT_EQ(ui.host.Notices()[0].caption, "Feil med visuell string");
      EXPECT_EQ(ui.host.Notices()[0].text, c.in);
    }
  }
}

TEST(VisualNotation, ShowsBytesAsTabled) {
  EXPECT_EQ(CharToVisual(13), "[CR]");
  EXPECT_EQ(CharToVisual(200), "[200]");
  EXPECT_EQ(CharToVisual('['), "[91]");
  EXPECT_EQ(CharToVisual(']'), "[93]");
  EXPECT_EQ(CharToVisual('!'), "[33]");
  EXPECT_EQ(CharToVisual('#'), "[35]");
  EXPECT_EQ(CharToVisual('@'), "[64]");
  EXPECT_EQ(CharToVisual('A'), "A");
  EXPECT_EQ(CharToVisual(17), "[XON]");
  EXPECT_EQ(CharToVisual(19), "[XOFF]");
  EXPECT_EQ(CharToVisual(127), "[127]");
  EXPECT_EQ(CharToVisual(0), "[NUL]");
  EXPECT_EQ(CharToVisual(31), "[US]");
  EXPECT_EQ(StrToVisual("G1\r\n"), "G1[CR][LF]");
}

TEST(VisualNotation, EveryByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    std::string s = StrToVisual(std::string(1, static_cast<char>(b)));
    VisualToStr(s);
    ASSERT_EQ(s, std::string(1, static_cast<char>(b))) << b;
  }
  std::mt19937 rng(42);
  test::ScopedUiHost ui;
  for (int round = 0; round < 2000; ++round) {
    std::string s(rng() % 40, '\0');
    for (char& c : s) c = static_cast<char>(rng() % 256);
    std::string v = StrToVisual(s);
    VisualToStr(v);
    ASSERT_EQ(v, s);
  }
  EXPECT_EQ(ui.host.NoticeCount(), 0u);
}

}  // namespace
}  // namespace zova
