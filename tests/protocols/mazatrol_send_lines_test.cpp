#include "protocols/mazatrol/mazatrol_send_lines.h"

#include <gtest/gtest.h>

#include "protocols/mazatrol/mazatrol_framer.h"

namespace zova::mazatrol {
namespace {

std::vector<std::string> Format(const std::vector<std::string>& file, int linjeLengde) {
  SjekkFormatter f(linjeLengde);
  std::vector<std::string> out;
  for (const std::string& l : file)
    for (std::string& o : f.Feed(l)) out.push_back(std::move(o));
  for (std::string& o : f.Finish()) out.push_back(std::move(o));
  return out;
}

TEST(MazatrolSendLines, TapeMarks) {
  EXPECT_TRUE(IsTapeMark("p2", false));
  EXPECT_TRUE(IsTapeMark("\f", false));
  EXPECT_FALSE(IsTapeMark("12345", false));
  EXPECT_TRUE(IsTapeMark("12345", true));
  EXPECT_FALSE(IsTapeMark("1234", true));
  EXPECT_FALSE(IsTapeMark("0D0519", true));
}

TEST(MazatrolSendLines, LineEndsInsideALineAreStoredApart) {
  EXPECT_EQ(StoredForm("A\nB\rC"),
            "A\x1D"
            "B\x1E"
            "C");
  EXPECT_EQ(LineForm(StoredForm("A\nB\rC")), "A\nB\rC");
}

TEST(MazatrolSendLines, CheckDigitsBackOnALineTwoShort) {
  const std::string text(8, 'A');
  EXPECT_EQ(WithCheckWhenShort(text, 10), WithCheck(text));
  EXPECT_EQ(WithCheckWhenShort(text, 8), text);
  EXPECT_EQ(WithCheckWhenShort(text, -1), text);
}

TEST(MazatrolSendLines, SjekkFormatReformatsTheFile) {
  const std::string data(8, 'B');
  struct Case {
    const char* what;
    std::vector<std::string> file;
    int linjeLengde;
    std::vector<std::string> sent;
  } cases[] = {
      {"plain lines pass", {"AAAAAA", "BBBBBB"}, 130, {"AAAAAA", "BBBBBB"}},
      {"form feeds are dropped", {"\f", "AAAAAA", "\f"}, 130, {"AAAAAA"}},
      {"a header of two lines goes",
       {"%(PROGRAM)",
        "\x15"
        "X",
        "AAAAAA"},
       130,
       {"AAAAAA"}},
      {"only the first two lines", {"AAAAAA", "CC", "(KEEP)"}, 130, {"AAAAAA", "CC", "(KEEP)"}},
      {"STX to EOT are taken out",
       {"\x02"
        "AB\x04"
        "CD"},
       130,
       {"ABCD"}},
      {"after an ETX line, lines join up to the next",
       {"A\x03"
        "1",
        "B", "C",
        "D\x03"
        "2",
        "E"},
       130,
       {"A1", "B\nC\nD2", "E"}},
      {"a line two short gets its check", {data}, 10, {data + LineCheck(data)}},
  };
  for (const Case& c : cases) EXPECT_EQ(Format(c.file, c.linjeLengde), c.sent) << c.what;
}

TEST(MazatrolSendLines, JoinedLinesStayBelow255) {
  std::vector<std::string> file{"\x03"};
  for (int i = 0; i < 3; ++i) file.push_back(std::string(100, 'A' + static_cast<char>(i)));
  const std::vector<std::string> sent = Format(file, 130);
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[1], std::string(100, 'A') + "\n" + std::string(100, 'B'));
  EXPECT_EQ(sent[2], std::string(100, 'C'));
}

}  // namespace
}  // namespace zova::mazatrol
