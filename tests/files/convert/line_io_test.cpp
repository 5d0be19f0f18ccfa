#include "files/convert/line_io.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zova {
namespace {

std::vector<std::string> PlainLines(std::string_view text, size_t chunk) {
  StringSource source(text, chunk);
  LineInput in(source);
  std::vector<std::string> lines;
  std::string s;
  while (!in.Eof()) {
    in.ReadLine(s);
    lines.push_back(s);
  }
  return lines;
}

TEST(LineInput, PlainLineEnds) {
  struct {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\n\r\nb", {"a", "", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"", {}},
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
  };
  for (const auto& c : cases)
    for (size_t chunk : {0, 1, 2, 3}) EXPECT_EQ(PlainLines(c.text, chunk), c.lines) << chunk;
}

TEST(LineInput, ReadPastEndGivesEmptyLine) {
  StringSource source("x");
  LineInput in(source);
  std::string s;
  in.ReadLine(s);
  EXPECT_TRUE(in.Eof());
  in.ReadLine(s);
  EXPECT_EQ(s, "");
  EXPECT_FALSE(in.Failed());
}

TEST(LineInput, OverlongLineComesInPieces) {
  std::string text(kMaxLineLength * 2 + 5, 'A');
  text += "\nB";
  auto lines = PlainLines(text, 0);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].size(), kMaxLineLength);
  EXPECT_EQ(lines[1].size(), kMaxLineLength);
  EXPECT_EQ(lines[2], "AAAAA");
  EXPECT_EQ(lines[3], "B");
}

TEST(LineInput, LineEndAtTheLimitEndsThePiece) {
  std::string text(kMaxLineLength, 'A');
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    for (size_t chunk : {size_t{0}, size_t{4096}}) {
      auto lines = PlainLines(text + eol + "B", chunk);
      ASSERT_EQ(lines.size(), 2u) << chunk;
      EXPECT_EQ(lines[1], "B");
    }
  }
}

TEST(LineInput, TolerantReading) {
  for (size_t chunk : {0, 1}) {
    const std::string text(
        "\r\n\nAB\x01"
        "C\r\r\n\0\nD\n\n",
        13);
    StringSource source(text, chunk);
    LineInput in(source);
    std::string s;
    ASSERT_TRUE(in.MoreTolerant());
    in.ReadLineTolerant(s);
    EXPECT_EQ(s, "ABC");
    EXPECT_TRUE(in.MoreTolerant());
    in.ReadLineTolerant(s);
    EXPECT_EQ(s, "D");
    EXPECT_FALSE(in.MoreTolerant());
  }
}

TEST(LineInput, RewindStartsOver) {
  StringSource source("a\nb\n");
  LineInput in(source);
  std::string s;
  in.ReadLine(s);
  in.ReadLine(s);
  ASSERT_TRUE(in.Rewind());
  in.ReadLine(s);
  EXPECT_EQ(s, "a");
}

TEST(LineOutput, LargePiecesPassInOrder) {
  StringSink sink;
  {
    LineOutput out(sink);
    out.Put("x");
    out.Put(std::string(200000, 'y'));
    out.Write("z");
  }
  EXPECT_EQ(sink.text, "x" + std::string(200000, 'y') + "z\r\n");
}

}  // namespace
}  // namespace zova
