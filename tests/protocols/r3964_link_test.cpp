#include "protocols/t3964r/r3964_link.h"

#include <gtest/gtest.h>

#include <vector>

namespace zova::r3964 {
namespace {

using namespace std::string_literals;

constexpr int kTimeout = -1;      // an event: the read timed out
constexpr int kUnsolicited = -2;  // an event: the collision receive has run

struct SendRun {
  std::string written;
  int passes = 0;  // LogNewLine calls
  int flushes = 0;
  int unsolicited = 0;
  bool done = false, ok = false;
};

// Plays the partner's answers (characters, timeouts) against a sender.
SendRun Send(const std::string& telegram, bool highPriority, const std::vector<int>& events) {
  TelegramSender s(telegram, highPriority);
  SendRun run;
  auto take = [&run](const TelegramSender::Step& step) {
    run.written += step.write;
    run.passes += step.passEnded;
    run.flushes += step.flushConsole;
    run.unsolicited += step.unsolicited;
    run.done = step.done;
    run.ok = step.ok;
  };
  take(s.Begin());
  for (int e : events) {
    if (run.done) break;
    if (e == kTimeout)
      take(s.OnTimeout());
    else if (e == kUnsolicited)
      take(s.AfterUnsolicited());
    else
      take(s.OnChar(static_cast<char>(e)));
  }
  return run;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(R3964Link, SendPassesFollowThePartnersAnswers) {
  const std::string block = "AB\x10\x03\x10"s;
  const std::string pass = "\x02"s + block;  // STX, then the block after DLE
  struct Case {
    const char* what;
    std::vector<int> events;
    std::string written;
    int passes;
    bool ok;
  } cases[] = {
      {"accepted at once", {0x10, 0x10}, pass, 1, true},
      {"other characters before the DLE are skipped", {'x', 0x00, 0x10, 0x10}, pass, 1, true},
      {"NAK four times, then DLE",
       {0x10, 0x15, 0x10, 0x15, 0x10, 0x15, 0x10, 0x15, 0x10, 0x10},
       Repeat(pass, 5),
       5,
       true},
      {"NAK five times",
       {0x10, 0x15, 0x10, 0x15, 0x10, 0x15, 0x10, 0x15, 0x10, 0x15},
       Repeat(pass, 5),
       5,
       false},
      {"a foreign answer to the block is not repeated", {0x10, 'A'}, pass, 1, false},
      {"a timeout after the block is not repeated", {0x10, kTimeout}, pass, 1, false},
      {"NAK to STX: the next attempt", {0x15, 0x10, 0x10}, "\x02"s + pass, 1, true},
      {"three unanswered STX end the pass",
       {kTimeout, kTimeout, kTimeout, 0x10, 0x10},
       "\x02\x02\x02"s + pass,
       2,
       true},
      {"every start fails", std::vector<int>(15, kTimeout), Repeat("\x02", 15), 5, false},
  };
  for (const Case& c : cases) {
    const SendRun run = Send("AB\x10\x03"s, false, c.events);
    EXPECT_EQ(run.written, c.written) << c.what;
    EXPECT_EQ(run.passes, c.passes) << c.what;
    EXPECT_TRUE(run.done) << c.what;
    EXPECT_EQ(run.ok, c.ok) << c.what;
  }
}

TEST(R3964Link, ACollisionReceivesThePartnersTelegramFirst) {
  // Low priority (every station driver): the partner's STX is its telegram.
  SendRun low = Send("AB\x10\x03"s, false, {0x02, kUnsolicited, 0x10, 0x10});
  EXPECT_EQ(low.unsolicited, 1);
  EXPECT_EQ(low.written,
            "\x02\x02"
            "AB\x10\x03\x10"s)
      << "STX again after the receive";
  EXPECT_TRUE(low.ok);
  // High priority: the partner's STX is skipped; its DLE is awaited.
  SendRun high = Send("AB\x10\x03"s, true, {0x02, 0x10, 0x10});
  EXPECT_EQ(high.unsolicited, 0);
  EXPECT_EQ(high.written,
            "\x02"
            "AB\x10\x03\x10"s);
  EXPECT_TRUE(high.ok);
}

TEST(R3964Link, TimeoutsInStartSendFlushTheConsoleAndWriteFailuresStopTheBlock) {
  EXPECT_EQ(Send("\x10\x03"s, false, {kTimeout, 0x10, 0x10}).flushes, 1);
  TelegramSender s("\x10\x03"s, false);
  s.Begin();
  s.OnChar(0x10);
  const TelegramSender::Step step = s.OnWriteFailed();
  EXPECT_TRUE(step.done);
  EXPECT_FALSE(step.ok);
  EXPECT_EQ(s.Pass(), 1);
}

TEST(R3964Link, AnUnsolicitedTelegramIsShownInBracketNotation) {
  EXPECT_EQ(UnsolicitedMessage("AB\x10\x03"s), "Egenmelding: AB[DLE][ETX]");
}

TEST(R3964Link, ARefusedTelegramNeverStarts) {
  TelegramSender s(Telegram(std::string(300, 'x')), false);
  EXPECT_EQ(s.Error(), BlockError::kTooLong);
  const TelegramSender::Step step = s.Begin();
  EXPECT_TRUE(step.done);
  EXPECT_FALSE(step.ok);
  EXPECT_TRUE(step.write.empty());
}

struct ReceiveRun {
  std::string written;
  int retransmits = 0, passes = 0;
  bool done = false, ok = false;
  std::string telegram;
};

// Feeds the partner's bytes in runs of Chunk; a timeout follows when they
// run out before the receive is done.
ReceiveRun Receive(const std::string& bytes, size_t chunk) {
  TelegramReceiver r;
  ReceiveRun run;
  auto take = [&run](const TelegramReceiver::Step& step) {
    run.written += step.write;
    run.retransmits += step.retransmit;
    run.passes += step.passEnded;
    run.done = step.done;
    run.ok = step.ok;
  };
  size_t pos = 0;
  while (!run.done && pos < bytes.size()) {
    const TelegramReceiver::Step step = r.Feed(std::string_view(bytes).substr(pos, chunk));
    pos += step.used;
    take(step);
  }
  while (!run.done) take(r.OnTimeout());
  run.telegram = r.Telegram();
  return run;
}

TEST(R3964Link, ReceivePassesAnswerEachBlock) {
  const std::string good =
      "\x02"
      "AB\x10\x03\x10"s;
  const std::string bad =
      "\x02"
      "AB\x10\x03\x11"s;
  struct Case {
    const char* what;
    std::string bytes;
    std::string written;
    int retransmits;
    bool ok;
  } cases[] = {
      {"one good block", good, "\x10\x10"s, 0, true},
      {"a bad BCC, then good", bad + good, "\x10\x15\x10\x10"s, 1, true},
      {"five bad blocks", Repeat(bad, 5), Repeat("\x10\x15"s, 5), 5, false},
      {"no STX: fails at once without a reply", "A" + good, "", 0, false},
      {"nothing at all", "", "", 0, false},
      {"cut by a timeout, then repeated",
       "\x02"
       "AB"s,
       "\x10\x15"s, 1, false},
  };
  for (const Case& c : cases) {
    for (size_t chunk : {size_t{1}, size_t{3}, size_t{100}}) {
      const ReceiveRun run = Receive(c.bytes, chunk);
      EXPECT_EQ(run.written, c.written) << c.what << " chunk " << chunk;
      EXPECT_EQ(run.retransmits, c.retransmits) << c.what << " chunk " << chunk;
      EXPECT_EQ(run.ok, c.ok) << c.what << " chunk " << chunk;
      if (c.ok) {
        EXPECT_EQ(run.telegram, "AB\x10\x03"s) << c.what;
      }
    }
  }
  const ReceiveRun dle = Receive("\x02\x10\x10\x03\x10\x03\x10"s, 2);
  EXPECT_EQ(dle.telegram, "\x10\x03\x10\x03"s) << "DLE ETX inside, undoubled";
}

}  // namespace
}  // namespace zova::r3964
