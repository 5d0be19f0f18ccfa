#include <gtest/gtest.h>

#include "files/transfer/line_end_state.h"
#include "files/transfer/send_filter.h"
#include "files/transfer/stop_matcher.h"

namespace zova {
namespace {

uint8_t StateOf(std::string_view text) {
  LineEndState s;
  for (char c : text) s.Advance(c);
  return s.Value();
}

TEST(LineEndState, FirstLineEndDecides) {
  const std::pair<const char*, int> cases[] = {
      {"%\r\nO1", 3}, {"%\nO1\r\n", 4}, {"%\r\r\nO1", 4}, {"%\r\n\r\nO1", 4},   {"%\rO1", 4},
      {"%\r\n", 2},   {"%", 0},         {"%\r", 1},       {"%\r\nO1\n\n\n", 3}, {"\n", 4},
  };
  for (auto [text, state] : cases) EXPECT_EQ(StateOf(text), state) << text;
}

bool Finds(std::string_view seq, std::string_view input) {
  StopMatcher m;
  m.Reset(seq);
  for (char c : input)
    if (m.Match(c)) return true;
  return false;
}

TEST(StopMatcher, FindsSequenceWherever) {
  EXPECT_TRUE(Finds("AB", "AAB"));
  EXPECT_TRUE(Finds("AAB", "AAAB"));
  EXPECT_TRUE(Finds("ABAC", "ABABAC"));
  EXPECT_TRUE(Finds("M30", "XM3M30"));
  EXPECT_FALSE(Finds("AB", "ACB"));
  EXPECT_FALSE(Finds("", "anything"));
  EXPECT_FALSE(Finds("ABC", "AB"));
}

TEST(StopMatcher, StartsOverAfterAMatch) {
  StopMatcher m;
  m.Reset("%%");
  std::string in = "%%%%";
  int found = 0;
  for (char c : in) found += m.Match(c);
  EXPECT_EQ(found, 2);
}

std::string Filter(const SendRules& r, std::string_view in) {
  SendFilter f(r);
  std::string out;
  for (char c : in) {
    char o = 0;
    auto step = f.Feed(c, o);
    if (step == SendFilter::Step::End) break;
    if (step == SendFilter::Step::Accept) out += o;
  }
  return out;
}

CharSet Set(std::string_view s) {
  CharSet cs;
  for (char c : s) cs.set(static_cast<uint8_t>(c));
  return cs;
}

TEST(SendFilter, Rules) {
  struct Case {
    const char* what;
    SendRules rules;
    std::string in, out;
  };
  SendRules upper;
  upper.storeBokstaver = true;
  SendRules swap;
  swap.byttFra = "ab";
  swap.byttTil = "xy";
  SendRules swapUpper = swap;
  swapUpper.storeBokstaver = true;
  SendRules unequal;
  unequal.byttFra = "ABC";
  unequal.byttTil = "XY";
  SendRules paren;
  paren.fjernLinje = Set("(");
  SendRules star;
  star.fjernLinje = Set("*");
  SendRules drop;
  drop.fjernTegn = Set(" ");
  SendRules sub;
  SendRules subOk;
  subOk.subOK = true;
  const Case cases[] = {
      {"upper", upper, "g1 x\xe5", "G1 X\xc5"},
      {"swap", swap, "abcA", "xycA"},
      {"swap upper", swapUpper, "abc", "XYC"},
      {"unequal lengths", unequal, "ABC", "ABC"},
      {"paren lines", paren, "(A)\r\nG1\r\n(B)\nG2(X)\r\n", "G1\r\nG2\r\n"},
      {"first line", paren, "(HEAD)\r\n\r\nN1\r\n", "N1\r\n"},
      {"star only at line start", star, "*X\r\nA*B\r\n", "A*B\r\n"},
      {"drop chars", drop, "G1 X1 Y2", "G1X1Y2"},
      {"sub ends", sub,
       "AB\x1a"
       "CD",
       "AB"},
      {"sub ok", subOk,
       "AB\x1a"
       "CD",
       "AB\x1a"
       "CD"},
  };
  for (const auto& c : cases) EXPECT_EQ(Filter(c.rules, c.in), c.out) << c.what;
}

}  // namespace
}  // namespace zova
