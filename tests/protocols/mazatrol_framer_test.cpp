#include "protocols/mazatrol/mazatrol_framer.h"

#include <gtest/gtest.h>

namespace zova::mazatrol {
namespace {

TEST(MazatrolFramer, CheckIsTheSumOfCodesLess48) {
  struct Case {
    std::string text, check;
  } cases[] = {
      {"", "00"},
      {"0D05", "19"},  // 0 + 20 + 0 + 5
      {"FFFF", "58"},  // 4 x 22
      // Characters below "0" count negative, and the sum wraps at 256.
      {" ", "F0"},
      {std::string(13, 'F'), "1E"},  // 13 x 22 = 286 = 256 + 30
      {"1234567890", "2D"},
  };
  for (const Case& c : cases) EXPECT_EQ(LineCheck(c.text), c.check) << c.text;
}

TEST(MazatrolFramer, RepliesEndAtEotAndAreKnownByTheirStart) {
  ReplyCollector r;
  for (char ch : std::string("p4")) EXPECT_FALSE(r.Feed(ch));
  EXPECT_TRUE(r.Feed(kEot));
  EXPECT_EQ(r.Reply(), "p4");
  struct Case {
    std::string reply;
    ReplyKind kind;
  } cases[] = {
      {"", ReplyKind::Empty},
      {"p1\x02"
       "0D\x03"
       "14",
       ReplyKind::ProgramLine},
      {"p1", ReplyKind::Other},
      {"p2", ReplyKind::TapeMark},
      {"p4", ReplyKind::Request},
      {"pD", ReplyKind::SectionEnd},
      {"pA", ReplyKind::End},
      {"q", ReplyKind::Status},
      {"q12", ReplyKind::Status},
      {"pX", ReplyKind::Other},
  };
  for (const Case& c : cases) EXPECT_EQ(KindOf(c.reply), c.kind) << c.reply;
}

TEST(MazatrolFramer, StationTelegramsAreByteExact) {
  EXPECT_EQ(ShortTelegram("p0A"), "p0A\x04");
  EXPECT_EQ(ShortTelegram("q08"), "q08\x04");
  EXPECT_EQ(LineTelegram("0D0519"),
            "p00\x02"
            "0D05\x03"
            "19\x04");
  // A line too short for check digits goes out whole before the ETX.
  EXPECT_EQ(LineTelegram("9"),
            "p00\x02"
            "9\x03\x04");
}

TEST(MazatrolFramer, ExtractTakesTheEtxOutAndKeepsTheCheck) {
  EXPECT_EQ(ExtractLine("p1\x02"
                        "0D05\x03"
                        "19"),
            "0D0519");
  EXPECT_EQ(ExtractLine("p1\x02\x03"), "");
  EXPECT_EQ(ExtractLine("p1\x02"
                        "0D0519"),
            std::nullopt);
  EXPECT_EQ(ExtractLine("p1"), std::nullopt);
}

TEST(MazatrolFramer, LineCheckNamesWhatIsWrong) {
  const std::string good = WithCheck(std::string(128, '0') + "0D05");
  struct Case {
    std::string line;
    int linjeLengde;
    std::string error;
  } cases[] = {
      {WithCheck(std::string(128, 'A')), 130, ""},
      {WithCheck(std::string(126, 'A')), 130, "Lengde=128"},
      {WithCheck(std::string(126, 'A')), -1, ""},
      {WithCheck(std::string(127, 'A')), -1, "Lengde=129"},  // odd
      {WithCheck("0D050505"), 0, ""},
      {WithCheck("0D05"), 0, "Lengde=6"},  // below ten
      {std::string(128, 'A') + "00", 130, "BCC=" + LineCheck(std::string(128, 'A'))},
      {good, 134, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckLine(c.line, c.linjeLengde), c.error) << c.line;
}

}  // namespace
}  // namespace zova::mazatrol
