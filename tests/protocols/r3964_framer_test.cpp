#include "protocols/t3964r/r3964_framer.h"

#include <gtest/gtest.h>

namespace zova::r3964 {
namespace {

using namespace std::string_literals;

TEST(R3964Framer, BlocksOfTheProceduresExamples) {
  struct Case {
    const char* what;
    std::string payload;
    std::string block;  // doubled telegram + BCC, as it goes after the DLE
  } cases[] = {
      {"empty payload", "", "\x10\x03\x13"s},
      {"plain text", "AB", "AB\x10\x03\x10"s},
      {"a DLE is doubled",
       "A\x10"
       "B",
       "A\x10\x10"
       "B\x10\x03\x10"s},
      {"DLE ETX inside the payload", "\x10\x03", "\x10\x10\x03\x10\x03\x10"s},
      {"two DLEs", "\x10\x10", "\x10\x10\x10\x10\x10\x03\x13"s},
  };
  for (const Case& c : cases) {
    const Block b = BuildBlock(Telegram(c.payload));
    ASSERT_TRUE(b.Ok()) << c.what;
    EXPECT_EQ(b.bytes, c.block) << c.what;
    EXPECT_EQ(UndoubleDle(DoubleDle(Telegram(c.payload))), Telegram(c.payload)) << c.what;
  }
}

TEST(R3964Framer, TheFrameLimitRefusesInsteadOfCutting) {
  // 252 payload bytes + DLE ETX + BCC = 255: the largest block.
  EXPECT_TRUE(BuildBlock(Telegram(std::string(252, 'x'))).Ok());
  EXPECT_EQ(BuildBlock(Telegram(std::string(253, 'x'))).error, BlockError::kTooLong);
  // Doubling counts: 126 DLEs become 252 bytes, 127 pass the limit.
  EXPECT_TRUE(BuildBlock(Telegram(std::string(126, '\x10'))).Ok());
  const Block over = BuildBlock(Telegram(std::string(127, '\x10')));
  EXPECT_EQ(over.error, BlockError::kTooLong);
  EXPECT_TRUE(over.bytes.empty());
  EXPECT_EQ(BuildBlock("AB").error, BlockError::kNoEndMark);
  EXPECT_EQ(BuildBlock("").error, BlockError::kNoEndMark);
}

struct Collected {
  BlockEnd end;
  size_t used;
  std::string telegram;
};

Collected Collect(const std::string& bytes, size_t chunk) {
  BlockCollector c;
  size_t pos = 0;
  while (pos < bytes.size() && c.End() == BlockEnd::kOpen)
    pos += c.Feed(std::string_view(bytes).substr(pos, chunk));
  if (c.End() == BlockEnd::kOpen) c.TimedOut();
  return {c.End(), pos, c.Telegram()};
}

TEST(R3964Framer, TheCollectorFindsTheEndMarkAndChecksTheBcc) {
  struct Case {
    const char* what;
    std::string bytes;
    BlockEnd end;
    size_t used;
    std::string telegram;
  } cases[] = {
      {"empty payload", "\x10\x03\x13"s, BlockEnd::kAccepted, 3, "\x10\x03"s},
      {"DLE ETX inside the payload does not end the block", "\x10\x10\x03\x10\x03\x10"s,
       BlockEnd::kAccepted, 6, "\x10\x03\x10\x03"s},
      {"a BCC that is a DLE",
       "A\x10\x10"
       "B\x10\x03\x10"s,
       BlockEnd::kAccepted, 7,
       "A\x10"
       "B\x10\x03"s},
      {"bytes after the BCC are left", "AB\x10\x03\x10\x02\x02"s, BlockEnd::kAccepted, 5,
       "AB\x10\x03"s},
      {"wrong BCC", "AB\x10\x03\x11"s, BlockEnd::kBadBcc, 5, ""},
      {"cut before the BCC", "AB\x10\x03"s, BlockEnd::kTimedOut, 4, ""},
      {"an ETX alone is data", "A\x03\x10\x03\x41"s, BlockEnd::kBadBcc, 5, ""},
  };
  for (const Case& c : cases) {
    for (size_t chunk : {size_t{1}, size_t{2}, size_t{64}}) {
      const Collected got = Collect(c.bytes, chunk);
      EXPECT_EQ(got.end, c.end) << c.what << " chunk " << chunk;
      EXPECT_EQ(got.used, c.used) << c.what << " chunk " << chunk;
      EXPECT_EQ(got.telegram, c.telegram) << c.what << " chunk " << chunk;
    }
  }
}

TEST(R3964Framer, AnOverlongBlockIsRefusedAtItsEndWithoutBeingStored) {
  // 253 bytes + DLE ETX: with the BCC 256, one too many.
  std::string body(253, 'x');
  std::string bytes = body + "\x10\x03"s;
  bytes += static_cast<char>(BlockCheck(bytes));
  const Collected got = Collect(bytes + "\x02", 7);
  EXPECT_EQ(got.end, BlockEnd::kTooLong);
  EXPECT_EQ(got.used, bytes.size()) << "the NAK waits for the partner's BCC";

  BlockCollector stream;
  stream.Feed(std::string(100000, 'y'));
  EXPECT_EQ(stream.End(), BlockEnd::kTooLong) << "a stream without end mark is cut off";
  EXPECT_LE(stream.Raw().size(), kMaxBlock);
}

}  // namespace
}  // namespace zova::r3964
