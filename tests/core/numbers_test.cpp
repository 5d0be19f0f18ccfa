#include <gtest/gtest.h>

#include "core/numformat.h"
#include "core/numparse.h"

namespace zova {
namespace {

TEST(ParseInteger, AcceptsDecimalAndHexWholeTextOnly) {
  struct {
    const char* in;
    std::optional<int32_t> out;
  } cases[] = {
      {"12", 12},
      {"  12", 12},
      {"-7", -7},
      {"+5", 5},
      {"$10", 16},
      {"x1F", 31},
      {"X1f", 31},
      {"0x10", 16},
      {"-$10", -16},
      {"12abc", {}},
      {"", {}},
      {" ", {}},
      {"-", {}},
      {"$", {}},
      {"0x", {}},
      {"12 ", {}},
      {"2147483647", 2147483647},
      {"2147483648", {}},
      {"-2147483648", INT32_MIN},
      {"$FFFFFFFF", -1},
      {"1.5", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.in), c.out) << c.in;
}

TEST(NumberHelpers, PadAndFormat) {
  EXPECT_EQ(IntToStrZero(-7, 4), "-007");
  EXPECT_EQ(IntToStrZero(7, 3), "007");
  EXPECT_EQ(IntToStrZero(1234, 2), "1234");
  EXPECT_EQ(IntToStrPad(42, 5), "   42");
  EXPECT_EQ(IntToStrPad(42, 1), "42");
  EXPECT_EQ(IntToStrPad(1, 1000).size(), 255u);
  EXPECT_EQ(FloatToStrSigned(8, 3, 12.5), "+012.500");
  EXPECT_EQ(FloatToStrSigned(0, 1, 2), "+2.0");
  EXPECT_EQ(FloatToStrSigned(8, 3, -12.5), "-012.500");
  EXPECT_EQ(FloatToStrZero(8, 3, -1.25), "-001.250");
  EXPECT_EQ(FloatToStrPad(8, 2, 3.14159), "    3.14");
  EXPECT_EQ(FloatToStr(-0.0001, 3), "0.000");
  EXPECT_EQ(FloatToStr(2.5, 0), "3");
  EXPECT_EQ(PadStr("abc", 5, true), "  abc");
  EXPECT_EQ(PadStr("abc", 5, false), "abc  ");
  EXPECT_EQ(PadStr("abcdef", 3, false), "abc");
  EXPECT_EQ(DigitsToInt("T12-"), 0);
  EXPECT_EQ(DigitsToInt("T12X"), 12);
  EXPECT_EQ(DigitsToInt("N-45"), -45);
  EXPECT_EQ(SubStrToInt("AB123C", 3, 3), 123);
  EXPECT_EQ(SubStrToInt("AB123C", 3, 4), 0);
  EXPECT_DOUBLE_EQ(TextToFloat(" 12,5 "), 12.5);
  EXPECT_DOUBLE_EQ(TextToFloat("X12.75Y", 2, 5), 12.75);
  EXPECT_DOUBLE_EQ(TextToFloat("abc"), 0.0);
}

TEST(NumberHelpers, SplitFirst) {
  std::string s = "a,b,c", head;
  SplitFirst(",", s, head);
  EXPECT_EQ(head, "a");
  EXPECT_EQ(s, "b,c");
  s = "abc";
  SplitFirst(",", s, head);
  EXPECT_EQ(head, "abc");
  EXPECT_EQ(s, "");
}

}  // namespace
}  // namespace zova
