#include "protocols/heidenhain/hhlsv2_telegrams.h"

#include <gtest/gtest.h>

#include <vector>

#include "protocols/lsv2/lsv2_blocks.h"
#include "protocols/lsv2/lsv2_framer.h"
#include "protocols/lsv2/lsv2_link.h"

namespace zova::hhlsv2 {
namespace {

using namespace std::string_literals;

TEST(HhLsv2Names, ProgramNameIsTheBareFileNameCutWithTheDefaultExtLetter) {
  struct Case {
    const char* file;
    int maxLen;
    char ext;
    const char* name;
  } cases[] = {
      {"17.H", 8, 'H', "17.H"},
      {"C:/NC/MASKIN1/PLATE.NC", 8, 'H', "PLATE.H"},
      {"dir\\sub\\LONGPROGRAMNAME.H", 8, 'I', "LONGPROG.I"},
      {"1234", 16, 'H', "1234.H"},  // no "%" as the LSV2 numbers get
      {"A.B.C", 8, 'H', "A.B.H"},
      {"X.H", 0, 'H', ".H"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProgramName(c.file, c.maxLen, c.ext), c.name) << c.file;
}

TEST(HhLsv2Names, TelegramsCarryTheNameAndItsEnd) {
  EXPECT_EQ(NameTelegram(kAnnounce, "17.H", "\0"s), "C_FL17.H\0"s);
  EXPECT_EQ(NameTelegram(kRead, "17.H", "\r\n"), "R_FL17.H\r\n");
  EXPECT_EQ(ChangeDir("TNC:\\PGM"), "C_DCTNC:\\PGM\0"s);
}

TEST(HhLsv2Data, FetchedDataStartsAtTheFifthCharacterWithNulAsCr) {
  EXPECT_EQ(FetchedData("S_FL0 BEGIN\0001 END\0"s), "0 BEGIN\r1 END\r");
  EXPECT_EQ(FetchedData("S_FL"), "");
  EXPECT_EQ(FetchedData("T_FD"), std::nullopt);
  EXPECT_EQ(FetchedData("S_F"), std::nullopt);
}

// The send's data blocks: lines each followed by the Terminator, a block
// below kBlockSize.
TEST(HhLsv2Data, BlocksHoldWholeLinesWithTheTerminatorBelowTheLimit) {
  std::vector<std::string> lines;
  for (int i = 0; i < 12; ++i) lines.push_back("N" + std::to_string(i) + " L X+10 Y+20 FMAX");
  size_t at = 0;
  const lsv2::BlockReader::NextLine next = [&](std::string& line) {
    if (at == lines.size()) return false;
    line = lines[at++];
    return true;
  };
  lsv2::BlockReader reader(kBlockSize, "\0"s);
  std::string all;
  std::vector<std::string> blocks;
  for (bool more = true; more;) {
    const lsv2::BlockReader::Result r = reader.Read(next);
    ASSERT_TRUE(r.ok);
    blocks.push_back(r.block);
    all += r.block;
    more = r.more;
  }
  ASSERT_GT(blocks.size(), 1u);
  for (const std::string& b : blocks) {
    EXPECT_LT(b.size(), static_cast<size_t>(kBlockSize));
    EXPECT_EQ(b.back(), '\0') << "a block ends with a whole line";
  }
  std::string want;
  for (const std::string& l : lines) want += l + '\0';
  EXPECT_EQ(all, want);
}

// The link receives one block a telegram and takes a long burst as noise.
struct Outcome {
  bool ok = false;
  std::string telegram, written;
};

Outcome Receive(const std::string& bytes, lsv2::ReceiveLimits limits) {
  lsv2::Receiver r(false, limits);
  Outcome out;
  size_t at = 0;
  for (;;) {
    const lsv2::Receiver::Step s = at < bytes.size() ? r.OnChar(bytes[at++]) : r.OnNothing();
    out.written += s.write;
    if (s.done) {
      out.ok = s.ok;
      break;
    }
  }
  out.telegram = r.Telegram();
  return out;
}

TEST(HhLsv2Link, ATelegramIsOneBlockAndLongBurstsAreGarbage) {
  const lsv2::ReceiveLimits hh{true, kMaxBlockBytes};
  const std::string first = lsv2::EncodeFrame("S_FL1 L", false).frames.front();
  const std::string second = lsv2::EncodeFrame("S_FL X+1").frames.front();
  const std::string eot = "\x04";

  // TLSV2 joins an ETB block with the next; here the first block is the
  // telegram, and the next block belongs to no telegram.
  Outcome got = Receive("\x05" + first + eot, hh);
  EXPECT_TRUE(got.ok);
  EXPECT_EQ(got.telegram, "S_FL1 L");
  got = Receive("\x05" + first + second + eot, {});
  EXPECT_EQ(got.telegram, "S_FL1 L X+1");

  const std::string data(2600, 'A');
  const std::string huge = lsv2::EncodeFrame("S_FL" + data).frames.front();
  got = Receive("\x05" + huge + eot, hh);
  EXPECT_FALSE(got.ok) << "more than 2500 characters are noise";
  got = Receive("\x05" + huge + eot, {});
  EXPECT_TRUE(got.ok) << "without the limit the block is taken";
  const std::string fits = lsv2::EncodeFrame("S_FL" + std::string(2480, 'A')).frames.front();
  got = Receive("\x05" + fits + eot, hh);
  EXPECT_TRUE(got.ok);
}

}  // namespace
}  // namespace zova::hhlsv2
