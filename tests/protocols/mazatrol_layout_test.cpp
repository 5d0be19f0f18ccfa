#include "protocols/mazatrol/mazatrol_layout.h"

#include <gtest/gtest.h>

namespace zova::mazatrol {
namespace {

// A line of Filler with Text at 1-based Pos.
std::string LineWith(const std::string& text, int pos, size_t length = 128) {
  std::string line(length, '0');
  line.replace(static_cast<size_t>(pos - 1), text.size(), text);
  return line;
}

TEST(MazatrolLayout, NumberForEveryWidthBothByteOrders) {
  struct Case {
    std::string digits;
    int width;
    bool swap;
    std::optional<long long> number;
  } cases[] = {
      {"7F", 1, false, 127},           {"7F", 2, true, 127},  // one byte: the order does not matter
      {"0D05", 4, false, 3333},        {"050D", 4, true, 3333},
      {"13F0", 5, false, 5104},  // anything but 1, 2 and 8 is two bytes
      {"F013", 5, true, 5104},         {"01FCA055", 8, false, 33333333},
      {"55A0FC01", 8, true, 33333333}, {"0D0G", 4, false, std::nullopt},
  };
  for (const Case& c : cases) {
    const NumberPlace place{1, 5, c.width, c.swap};
    EXPECT_EQ(DecodeNumber(LineWith(c.digits, 5), place), c.number) << c.digits;
  }
  EXPECT_EQ(DecodeNumber("0000", {1, 3, 4, false}), std::nullopt) << "past the end";
  EXPECT_EQ(DecodeNumber("0D05", {1, 0, 4, false}), std::nullopt);
}

TEST(MazatrolLayout, FileNameFromTheNumber) {
  EXPECT_EQ(NumberFileName(DropFiveThousand(5123, 4), 4, false, ".Maz"), "0123.Maz");
  EXPECT_EQ(DropFiveThousand(5000, 4), 5000);
  EXPECT_EQ(DropFiveThousand(9999, 4), 4999);
  EXPECT_EQ(DropFiveThousand(10000, 4), 10000);
  EXPECT_EQ(DropFiveThousand(5123, 8), 5123);
  EXPECT_EQ(NumberFileName(30, 4, false, ".Maz"), "0030.Maz");
  EXPECT_EQ(NumberFileName(30, 4, true, ".Maz"), "30.Maz");
  EXPECT_EQ(NumberFileName(33333333, 8, false, ".MAZ"), "33333333.MAZ");
  EXPECT_EQ(NumberFileName(123456, 4, false, ".Maz"), "123456.Maz");
}

TEST(MazatrolLayout, LearningFindsTheNumberInEitherLayout) {
  struct Case {
    std::string line;
    std::optional<int> start;
    int width;
    bool swap;
  } cases[] = {
      {LineWith("0D05", 9), 9, 4, false},
      {LineWith("050D", 21), 21, 4, true},
      // Only at odd positions: "0D05" at 10 is no number.
      {LineWith("0D05", 10), std::nullopt, 0, false},
      // The earlier of the two forms wins.
      {LineWith("050D", 41).replace(60, 4, "0D05"), 41, 4, true},
      {LineWith("01FCA055", 33), 33, 8, false},
      {LineWith("55A0FC01", 7), 7, 8, true},
      // Two bytes are looked for first, anywhere on the line.
      {LineWith("55A0FC01", 7).replace(100, 4, "0D05"), 101, 4, false},
  };
  for (const Case& c : cases) {
    const auto found = FindNumberPlace(c.line);
    ASSERT_EQ(found.has_value(), c.start.has_value()) << c.line;
    if (!found) continue;
    EXPECT_EQ(found->start, *c.start) << c.line;
    EXPECT_EQ(found->width, c.width) << c.line;
    EXPECT_EQ(found->swap, c.swap) << c.line;
  }
}

TEST(MazatrolLayout, LearningFindsThePlainAndTheHexadecimalTitle) {
  // Plain: the length byte 08, then the title itself.
  auto plain = FindTitlePlace(LineWith("0833333333", 61));
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->start, 63);
  EXPECT_TRUE(plain->plain);
  EXPECT_EQ(plain->length, 8);
  // Hexadecimal: "3" is 33, eight of them sixteen digits.
  auto hex = FindTitlePlace(LineWith(std::string(16, '3'), 63));
  ASSERT_TRUE(hex);
  EXPECT_EQ(hex->start, 63);
  EXPECT_FALSE(hex->plain);
  EXPECT_EQ(hex->length, 8);
  // At an even position the title starts one further on.
  auto moved = FindTitlePlace(LineWith("A" + std::string(17, '3'), 61));
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->start, 63);
  EXPECT_EQ(moved->length, 8);
  EXPECT_FALSE(FindTitlePlace(LineWith("3333333", 63)));
}

TEST(MazatrolLayout, TitleDecodedPlainAndHexadecimal) {
  const std::string hexTitle = "464C454E5320";  // "FLENS "
  EXPECT_EQ(DecodeTitle(LineWith(hexTitle, 63), {1, "", 63, 6, false}), "FLENS ");
  EXPECT_EQ(DecodeTitle(LineWith(hexTitle, 63), {1, "", 63, 3, false}), "FLE");
  EXPECT_EQ(DecodeTitle(LineWith("414200", 63), {1, "", 63, 8, false}), "AB");
  // Plain: the length byte before the title gives its length, at most TekstLengde.
  EXPECT_EQ(DecodeTitle(LineWith("05FLENS99", 61), {1, "", 63, 11, true}), "FLENS");
  EXPECT_EQ(DecodeTitle(LineWith("05FLENS99", 61), {1, "", 63, 3, true}), "FLE");
  EXPECT_EQ(DecodeTitle("12", {1, "", 63, 11, true}), "");
  EXPECT_EQ(DecodeTitle(LineWith("GG", 61), {1, "", 63, 11, true}), "");
}

TEST(MazatrolLayout, TitleLineIsTheNextWhenItsStartDiffers) {
  TitleLineFinder plain({2, "", 63, 11, false});
  EXPECT_FALSE(plain.IsTitleLine(1, "ABCD"));
  EXPECT_TRUE(plain.IsTitleLine(2, "ABCD"));
  TitleLineFinder started({2, "0102", 63, 11, false});
  EXPECT_FALSE(started.IsTitleLine(2, "0201FF"));
  EXPECT_TRUE(started.IsTitleLine(3, "FFFF"));
  EXPECT_FALSE(started.IsTitleLine(4, "0102"));
  TitleLineFinder none({0, "", 63, 11, false});
  EXPECT_FALSE(none.IsTitleLine(0, ""));
}

TEST(MazatrolLayout, TitleMadeAFileName) {
  CharSet none;
  CharSet slash;
  slash.set('/');
  struct Case {
    std::string title;
    bool ekstra;
    const CharSet* extra;
    int pad;
    std::string name;
  } cases[] = {
      {"FLENS", false, &none, 0, "FLENS.Maz"},
      {"FLENS 2", false, &none, 0, "FLENS.Maz"},
      {"FLENS 2 (A)", true, &none, 0, "FLENS 2 (A).Maz"},
      {"FLENS   ", true, &none, 0, "FLENS.Maz"},
      {"12", false, &none, 4, "0012.Maz"},
      {"AKSEL.NC", false, &none, 0, "AKSEL.NC"},
      {std::string("\0ABC", 4), false, &none, 0, ""},
      {"", false, &none, 4, ""},
      // Directory characters are left to the station's name guard; with
      // EkstraKommentar they end the title.
      {"../../X", false, &slash, 0, "../../X.Maz"},
      {"AB/../X", true, &none, 0, "AB.Maz"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TitleFileName(c.title, c.ekstra, *c.extra, c.pad, ".Maz"), c.name) << c.title;
}

}  // namespace
}  // namespace zova::mazatrol
