#include "protocols/num/num_framer.h"

#include <gtest/gtest.h>

namespace zova::num {
namespace {

std::vector<std::string> Blocks(const std::vector<std::string>& lines) {
  NumBlocker blocker;
  size_t at = 0;
  auto next = [&](std::string& l) {
    if (at == lines.size()) return false;
    l = lines[at++];
    return true;
  };
  std::vector<std::string> out;
  while (auto content = blocker.NextBlock(next)) out.push_back(*content);
  return out;
}

TEST(NumFramer, CheckAndBlocksAreByteExact) {
  EXPECT_EQ(NumCheck("."), "D1");  // 255 - 46 = 209
  EXPECT_EQ(EndBlock(),
            "\x02"
            ".D1\x03");
  EXPECT_EQ(NumCheck(""), "FF");
  EXPECT_EQ(NumCheck("G0"), "88");                    // 255 - (71 + 48)
  EXPECT_EQ(NumCheck(std::string(2, '\x80')), "FF");  // the sum wraps at 256
  EXPECT_EQ(FrameBlock("G0\x1DM30"), "\x02G0\x1DM30" + NumCheck("G0\x1DM30") + "\x03");
  EXPECT_EQ(AckLine(0),
            "\x06"
            "0");
  EXPECT_EQ(AckLine(1),
            "\x06"
            "1");
}

TEST(NumFramer, ParseTakesOnlyACheckedBlock) {
  struct Case {
    std::string line;
    std::optional<std::string> content;
  } cases[] = {
      {"\x02.D1\x03", "."},
      {FrameBlock("G0 X1\x1DM30"), "G0 X1\x1DM30"},
      {"\x02"
       "FF\x03",
       ""},
      {"\x02.D2\x03", std::nullopt},
      {".D1\x03", std::nullopt},
      {"\x02.D1", std::nullopt},
      {"\x02\x03", std::nullopt},
      {"\x02"
       "d1\x03",
       std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseNumBlock(c.line), c.content) << c.line;
}

TEST(NumFramer, BlocksHoldWholeLinesBelow126) {
  const std::string a(60, 'A'), b(64, 'B'), c(65, 'C'), d(200, 'D');
  EXPECT_EQ(Blocks({"G0", "M30"}), (std::vector<std::string>{"G0\x1DM30"}));
  // 60 + 1 + 64 = 125 stays; one more would reach 126.
  EXPECT_EQ(Blocks({a, b, "X"}), (std::vector<std::string>{a + "\x1D" + b, "X"}));
  EXPECT_EQ(Blocks({a, c}), (std::vector<std::string>{a, c}));
  EXPECT_EQ(Blocks({d, "X"}), (std::vector<std::string>{d, "X"}));
  // A blank line inside stays a line; a blank last one sends no empty block.
  EXPECT_EQ(Blocks({"G0", "", "M30"}), (std::vector<std::string>{"G0\x1D\x1DM30"}));
  EXPECT_EQ(Blocks({a, c, ""}), (std::vector<std::string>{a, c + "\x1D"}));
  EXPECT_EQ(Blocks({a, b, ""}), (std::vector<std::string>{a + "\x1D" + b}));
  EXPECT_EQ(Blocks({"", d}), (std::vector<std::string>{"", d}));
  EXPECT_EQ(Blocks({}), (std::vector<std::string>{}));
}

TEST(NumFramer, ReceptionAcknowledgesInTurnAndRestartsOnSyn) {
  NumReceiver r;
  using K = ReceiveStep::Kind;
  ReceiveStep s = r.Feed(FrameBlock("G0\x1DG1"));
  EXPECT_EQ(s.kind, K::Store);
  EXPECT_EQ(s.text, "G0\r\nG1");
  EXPECT_EQ(s.reply, AckLine(1));
  EXPECT_EQ(r.Feed("\x05").reply, AckLine(1));
  EXPECT_EQ(r.Feed(FrameBlock("M30")).reply, AckLine(0));
  s = r.Feed("\x16");
  EXPECT_EQ(s.kind, K::Restart);
  EXPECT_EQ(s.reply, AckLine(0));
  EXPECT_EQ(r.Feed(FrameBlock("G0")).reply, AckLine(1));
  s = r.Feed(EndBlock());
  EXPECT_EQ(s.kind, K::End);
  EXPECT_EQ(s.reply, AckLine(0));
  EXPECT_EQ(r.Feed(FrameBlock("G0")).kind, K::Ignore);
  EXPECT_EQ(r.Feed("\x16").kind, K::Finish);
  EXPECT_EQ(NumReceiver().Feed("\x04").kind, K::Finish);
}

TEST(NumFramer, TenBadBlocksInARowEndTheReception) {
  NumReceiver r;
  for (int i = 1; i < kTries; ++i) {
    const ReceiveStep s = r.Feed("\x02.D2\x03");
    EXPECT_EQ(s.kind, ReceiveStep::Kind::Nak) << i;
    EXPECT_EQ(s.reply, "\x15");
  }
  // A good block gives them all back.
  EXPECT_EQ(r.Feed(FrameBlock("G0")).kind, ReceiveStep::Kind::Store);
  for (int i = 1; i < kTries; ++i) r.Feed("junk");
  const ReceiveStep last = r.Feed("junk");
  EXPECT_EQ(last.kind, ReceiveStep::Kind::GiveUp);
  EXPECT_EQ(last.reply, "\x15");
}

TEST(NumFramer, RepliesToASentBlock) {
  EXPECT_EQ(JudgeReply(AckLine(0), 0), BlockReply::Acked);
  EXPECT_EQ(JudgeReply(AckLine(1), 0), BlockReply::Wrong);
  EXPECT_EQ(JudgeReply("\x15", 1), BlockReply::Wrong);
  EXPECT_EQ(JudgeReply("\x16", 1), BlockReply::Restart);
  EXPECT_EQ(JudgeReply("\x02", 0), BlockReply::Restart);
  EXPECT_EQ(JudgeReply("\x02\x16", 0), BlockReply::Wrong);
}

TEST(NumFramer, MenusAndAnswers) {
  EXPECT_EQ(
      MenuLines(Variant::Num),
      (std::vector<std::string>{"DNC>--------Kvist-Zova---------", "DNC> 1:PPNo   Hent program",
                                "DNC> 2:       Hent tooldata", "DNC> 3:PPNo   Punchback program",
                                "DNC>    Fortell (dvs. 1:0030)-->"}));
  const std::vector<std::string> nj = MenuLines(Variant::NumNJ);
  EXPECT_EQ(nj[0], "DNC>" + std::string(27, '-'));
  EXPECT_EQ(nj[1], "DNC> 1:PPNo   Nedlast fra arkiv");
  EXPECT_EQ(nj[2], "DNC> 2:PPNo   Nedlast testprog.");
  EXPECT_EQ(MenuLines(Variant::Num)[0].size(), 4u + 27u);
  EXPECT_EQ(ChoiceAnswer(Variant::Num, '1'), "READ> PC klar til nedlast...");
  EXPECT_EQ(ChoiceAnswer(Variant::Num, '2'), "TOOLS> PC klar til nedlast..");
  EXPECT_EQ(ChoiceAnswer(Variant::Num, '3'), "PUNCH> PC klar for mottak...");
  EXPECT_EQ(ChoiceAnswer(Variant::NumNJ, '2'), "LAST> PC klar til nedlast...");
  EXPECT_EQ(ChoiceAnswer(Variant::NumNJ, '3'), "PUNCHBACK> PC klar for mottak...");
}

TEST(NumFramer, TypedInputWithBackspace) {
  ChoiceInput in;
  using Key = ChoiceInput::Key;
  EXPECT_EQ(in.Feed('1'), Key::Taken);
  EXPECT_EQ(in.Feed('A'), Key::Ignored);
  EXPECT_EQ(in.Feed(':'), Key::Taken);
  EXPECT_EQ(in.Feed('9'), Key::Taken);
  EXPECT_EQ(in.Feed('\b'), Key::Erased);
  EXPECT_EQ(in.Feed('3'), Key::Taken);
  EXPECT_EQ(in.Feed('\r'), Key::Done);
  EXPECT_EQ(in.Text(), "1:3");
  ChoiceInput empty;
  EXPECT_EQ(empty.Feed('\b'), Key::Erased);
  EXPECT_EQ(empty.Text(), "");
  EXPECT_FALSE(ChoiceInput::Echoed(Key::Ignored));
  EXPECT_TRUE(ChoiceInput::Echoed(Key::Done));
}

TEST(NumFramer, ChoicesOfBothMenus) {
  struct Case {
    Variant v;
    std::string input;
    char choice;  // 0: invalid
    std::string number;
  } cases[] = {
      {Variant::Num, "1:0030", '1', "0030"},
      {Variant::Num, "3:30", '3', "30"},
      {Variant::Num, "2:", '2', ""},
      {Variant::Num, "1:", 0, ""},  // a program choice needs its number
      {Variant::Num, "3:", 0, ""},
      {Variant::Num, "4:1", 0, ""},
      {Variant::Num, "11", 0, ""},
      {Variant::Num, "1", 0, ""},
      {Variant::Num, "1:1:2", 0, ""},  // no colon inside a name
      {Variant::NumNJ, "1:30", '1', "0030"},
      {Variant::NumNJ, "2:7", '2', "0007"},
      {Variant::NumNJ, "3:12345", '3', "12345"},
      {Variant::NumNJ, "2:", 0, ""},
  };
  for (const Case& c : cases) {
    const auto got = ParseChoice(c.v, c.input);
    ASSERT_EQ(got.has_value(), c.choice != 0) << c.input;
    if (!got) continue;
    EXPECT_EQ(got->choice, c.choice) << c.input;
    EXPECT_EQ(got->number, c.number) << c.input;
  }
}

}  // namespace
}  // namespace zova::num
