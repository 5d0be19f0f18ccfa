#include "protocols/lsv2/lsv2_framer.h"

#include <gtest/gtest.h>

namespace zova::lsv2 {
namespace {

using namespace std::string_literals;

// Three blocks of one telegram as a control sends them: ETB, ETB, ETX.
const std::string kBlock1 = "\x10\x02R PPN10 G00\r\n\x10\x17\x4a"s;
const std::string kBlock2 = "\x10\x02R PPN20 X1\r\n\x10\x17\x67"s;
const std::string kBlock3 = "\x10\x02R PPN30 M30\r\n\x10\x03\x55"s;

TEST(Lsv2Framer, FramesAreByteExact) {
  struct Case {
    std::string text;
    bool last;
    std::string frame;
  } cases[] = {
      {"T ST  ", true, "\x10\x02T ST  \x10\x03\x70"s},
      {"M RR  ", true, "\x10\x02M RR  \x10\x03\x6e"s},
      {"T NB", true, "\x10\x02T NB\x10\x03\x7b"s},
      {"", true, "\x10\x02\x10\x03\x03"s},
      {"AB", true,
       "\x10\x02"
       "AB\x10\x03\x00"s},
      // DLE in the text is not doubled; it counts in the BCC.
      {"A\x10"
       "B",
       true,
       "\x10\x02"
       "A\x10"
       "B\x10\x03\x10"s},
      {"R PPN10 G00\r\n", false, kBlock1},
  };
  for (const Case& c : cases) {
    const Frames f = EncodeFrame(c.text, c.last);
    ASSERT_TRUE(f.Ok()) << c.text;
    ASSERT_EQ(f.frames.size(), 1u);
    EXPECT_EQ(f.frames[0], c.frame) << c.text;
  }
  EXPECT_EQ(EncodeFrame("A\x03"
                        "B")
                .error,
            FrameError::kEndByteInText);
  EXPECT_EQ(EncodeFrame("A\x17").error, FrameError::kEndByteInText);
}

TEST(Lsv2Framer, ALongTelegramIsSplitIntoBlocksThatRepeatItsCode) {
  const std::string telegram = "R PPN10 G00\r\nN20 X1\r\nN30 M30\r\n";
  const std::vector<std::string> texts = SplitTelegram(telegram, 13);
  EXPECT_EQ(texts,
            (std::vector<std::string>{"R PPN10 G00\r\n", "R PPN20 X1\r\nN", "R PP30 M30\r\n"}));
  const Frames frames = EncodeTelegram("R PPN10 G00\r\n", 13);
  ASSERT_TRUE(frames.Ok());
  EXPECT_EQ(frames.frames.size(), 1u) << "a telegram that fits is one block";
  EXPECT_EQ(EncodeTelegram("R PPN10", 4).error, FrameError::kCannotSplit);
  EXPECT_EQ(EncodeTelegram("R PP", 4).frames.size(), 1u);
}

struct Got {
  bool complete, garbage, valid, more;
  std::string text;
  size_t used;
};

Got Collect(const std::string& bytes, size_t chunk) {
  BlockCollector c;
  size_t pos = 0;
  while (pos < bytes.size() && !c.Complete() && !c.Garbage())
    pos += c.Feed(std::string_view(bytes).substr(pos, chunk));
  return {c.Complete(), c.Garbage(), c.Valid(), c.MoreFollows(), c.Text(), pos};
}

TEST(Lsv2Framer, TheCollectorAppliesTheValidityRule) {
  struct Case {
    const char* what;
    std::string bytes;
    bool complete, garbage, valid, more;
    std::string text;
    size_t used;
  } cases[] = {
      {"a last block", kBlock3 + "\x04", true, false, true, false, "R PPN30 M30\r\n", 18},
      {"a block with more to follow", kBlock1, true, false, true, true, "R PPN10 G00\r\n", 18},
      {"empty text", "\x10\x02\x10\x03\x03"s, true, false, true, false, "", 5},
      {"a BCC that is a DLE",
       "\x10\x02"
       "A\x10"
       "B\x10\x03\x10"s,
       true, false, true, false,
       "A\x10"
       "B"s,
       8},
      {"wrong BCC", "\x10\x02T NB\x10\x03\x7c"s, true, false, false, false, "T NB", 9},
      {"no STX", "\x10T NB\x10\x03\x7b"s, true, false, false, false, " NB", 8},
      {"ETX without DLE ends the block",
       "\x10\x02"
       "A\x03\x42"s,
       true, false, false, false, "", 5},
      {"too short", "\x10\x03\x03"s, true, false, false, false, "", 3},
      {"garbage: the first byte is no DLE", "x\x10\x02"s, false, true, false, false, "", 1},
      {"cut short", "\x10\x02T N"s, false, false, false, false, "", 5},
  };
  for (const Case& c : cases) {
    for (size_t chunk : {size_t{1}, size_t{4}, size_t{64}}) {
      const Got g = Collect(c.bytes, chunk);
      EXPECT_EQ(g.complete, c.complete) << c.what << " chunk " << chunk;
      EXPECT_EQ(g.garbage, c.garbage) << c.what << " chunk " << chunk;
      EXPECT_EQ(g.valid, c.valid) << c.what << " chunk " << chunk;
      EXPECT_EQ(g.more, c.more) << c.what << " chunk " << chunk;
      if (c.complete) {
        EXPECT_EQ(g.text, c.text) << c.what;
      }
      EXPECT_EQ(g.used, c.used) << c.what << " chunk " << chunk;
    }
  }
}

TEST(Lsv2Framer, FurtherBlocksContributeFromTheirFifthCharacter) {
  std::string telegram;
  AppendBlockText(telegram, "R PPN10 G00\r\n", true);
  AppendBlockText(telegram, "R PPN20 X1\r\n", false);
  AppendBlockText(telegram, "R PPN30 M30\r\n", false);
  EXPECT_EQ(telegram, "R PPN10 G00\r\nN20 X1\r\nN30 M30\r\n");
  AppendBlockText(telegram, "R P", false);
  EXPECT_EQ(telegram, "R PPN10 G00\r\nN20 X1\r\nN30 M30\r\n") << "a code alone adds nothing";
}

}  // namespace
}  // namespace zova::lsv2
