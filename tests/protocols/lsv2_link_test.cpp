#include "protocols/lsv2/lsv2_link.h"

#include <gtest/gtest.h>

#include <vector>

namespace zova::lsv2 {
namespace {

using namespace std::string_literals;

// An event is what one read brought: its bytes, or "" for a read that
// brought nothing (a timeout, an empty poll).
using Events = std::vector<std::string>;

const std::string kEnq = "\x05";
const std::string kT = "\x10\x02T NB\x10\x03\x7b"s;  // the frame of "T NB"
const std::string kBd = "\x10\x02T BD\x10\x03\x71"s;
const std::string kOk = "\x10\x02M OK\x10\x03\x6a"s;
const std::string kBad = "\x10\x02T NB\x10\x03\x7c"s;
const std::string kBlock1 = "\x10\x02R PPN10 G00\r\n\x10\x17\x4a"s;
const std::string kBlock2 = "\x10\x02R PPN20 X1\r\n\x10\x17\x67"s;
const std::string kBlock3 = "\x10\x02R PPN30 M30\r\n\x10\x03\x55"s;

struct Received {
  std::string written, markers, unread;
  bool done = false, ok = false;
  std::string telegram;
  Receiver::Notice notice;
};

Received Receive(bool enqSeen, const Events& events) {
  Receiver r(enqSeen);
  Received got;
  auto take = [&got](const Receiver::Step& s) {
    got.written += s.write;
    got.markers += s.marker;
    if (s.unread) got.unread += s.unreadChar;
    got.done = s.done;
    got.ok = s.ok;
  };
  for (const std::string& e : events) {
    if (got.done) break;
    if (e.empty()) {
      take(r.OnNothing());
      continue;
    }
    size_t pos = 0;
    while (pos < e.size() && !got.done) {
      size_t used = 0;
      take(r.Feed(std::string_view(e).substr(pos), used));
      pos += used;
    }
  }
  while (!got.done) take(r.OnNothing());
  got.telegram = r.Telegram();
  got.notice = r.RetryNotice();
  return got;
}

TEST(Lsv2Link, ReceiveAnswersEachBlockAndAssemblesTheTelegram) {
  struct Case {
    const char* what;
    bool enqSeen;
    Events events;
    std::string written;
    bool ok;
    std::string telegram;
    std::string notice;  // the retry marker, if any
  } cases[] = {
      {"one block",
       false,
       {kEnq, kT, "\x04"},
       "\x10"
       "0\x10"
       "1",
       true,
       "T NB",
       ""},
      {"no EOT after the last block is no error",
       false,
       {kEnq, kT},
       "\x10"
       "0\x10"
       "1",
       true,
       "T NB",
       ""},
      {"ENQ already seen",
       true,
       {kT, "\x04"},
       "\x10"
       "1",
       true,
       "T NB",
       ""},
      {"three blocks: ETB, ETB, ETX",
       false,
       {kEnq, kBlock1, kBlock2, kBlock3, "\x04"},
       "\x10"
       "0\x10"
       "1\x10"
       "1\x10"
       "1",
       true,
       "R PPN10 G00\r\nN20 X1\r\nN30 M30\r\n",
       ""},
      {"a bad BCC is answered NAK and repeated",
       false,
       {kEnq, kBad, kT, "\x04"},
       "\x10"
       "0\x15\x10"
       "1",
       true,
       "T NB",
       "BCC"},
      {"EOT from the fourth attempt on",
       false,
       {kEnq, kBad, kBad, kBad, kBad},
       "\x10"
       "0\x15\x15\x15\x04",
       false,
       "",
       "TimeOut"},
      {"a block cut by a timeout is collected again without a reply",
       false,
       {kEnq, "\x10\x02T ", "", kT},
       "\x10"
       "0\x10"
       "1",
       true,
       "T NB",
       "BCC"},
      {"no ENQ: failure without a reply", false, {"x"}, "", false, "", ""},
      {"nothing at all", false, {""}, "", false, "", ""},
      {"garbage ending in ENQ: answered at once",
       false,
       {kEnq, "xyz\x05", "", kT},
       "\x10"
       "0\x10"
       "0\x10"
       "1",
       true,
       "T NB",
       "BCC"},
      {"garbage, then the control's ENQ",
       false,
       {kEnq, "x", "", kEnq, kT},
       "\x10"
       "0\x10"
       "0\x10"
       "1",
       true,
       "T NB",
       "BCC"},
      {"garbage, then no ENQ",
       false,
       {kEnq, "x", "", ""},
       "\x10"
       "0",
       false,
       "",
       ""},
      {"T BD after garbage is thrown away",
       false,
       {kEnq, "x", "", kEnq, kBd, "\x04", kEnq, kOk, "\x04"},
       "\x10"
       "0\x10"
       "0\x10"
       "1\x10"
       "0\x10"
       "1",
       true,
       "M OK",
       ""},
      {"T BD without garbage is a telegram",
       false,
       {kEnq, kBd, "\x04"},
       "\x10"
       "0\x10"
       "1",
       true,
       "T BD",
       ""},
  };
  for (const Case& c : cases) {
    const Received got = Receive(c.enqSeen, c.events);
    EXPECT_EQ(got.written, c.written) << c.what;
    EXPECT_EQ(got.ok, c.ok) << c.what;
    EXPECT_EQ(got.telegram, c.telegram) << c.what;
    EXPECT_EQ(got.notice.marker, c.notice) << c.what;
  }
}

TEST(Lsv2Link, ReceiveLogsTheComputedBccAndNamesTheRetry) {
  const Received bad = Receive(false, {kEnq, kBad, kT});
  EXPECT_EQ(bad.markers, "BCC={") << "the BCC T NB should have had";
  EXPECT_EQ(bad.notice.message, "Retransmittering pga. BCC-feil: T NB");
  const Received none = Receive(false, {kEnq, kBad, kBad, kBad, kBad});
  EXPECT_EQ(none.notice.message, "TimeOut, komplett linje ikke mottatt");
  const Received ctl = Receive(false, {kEnq, "\x10\x02\x01\x10\x03\x03", "", kOk});
  EXPECT_EQ(ctl.markers, "BCC=[STX]");
}

TEST(Lsv2Link, ReceivePushesBackWhatFollowsTheLastBlock) {
  const Received got = Receive(false, {kEnq, kT, kEnq});
  EXPECT_TRUE(got.ok);
  EXPECT_EQ(got.unread, "\x05") << "the control's next ENQ is not lost";
}

TEST(Lsv2Link, ReceiveReadsTheBccWithTheFullTimeout) {
  Receiver r(true);
  EXPECT_EQ(r.NextRead(), ReadMode::kSingle);
  for (char ch : "\x10\x02T NB\x10"s) r.OnChar(ch);
  EXPECT_EQ(r.NextRead(), ReadMode::kSingle);
  r.OnChar(0x03);
  EXPECT_EQ(r.NextRead(), ReadMode::kFull);
  Receiver fresh(false);
  EXPECT_EQ(fresh.NextRead(), ReadMode::kFull) << "AnswerEnq waits the full timeout";
  fresh.OnChar(0x05);
  fresh.OnChar('x');
  EXPECT_EQ(fresh.NextRead(), ReadMode::kPoll) << "garbage is drained with PollChar";
}

struct Connected {
  std::string written;
  int collisions = 0;
  bool done = false, ok = false;
  int limit = 0;
};

// Chars as answers; '\0' is a read that brought nothing, 'C' after a
// collision the end of TakeCollisionTelegram.
Connected RunConnect(const std::string& answers) {
  Connect c;
  Connected got;
  auto take = [&got](const Connect::Step& s) {
    got.written += s.write;
    got.collisions += s.collision;
    got.done = s.done;
    got.ok = s.ok;
  };
  take(c.Begin());
  for (char a : answers) {
    if (got.done) break;
    if (a == '\0')
      take(c.OnNothing());
    else if (a == 'C')
      take(c.AfterCollision());
    else
      take(c.OnChar(a));
  }
  got.limit = c.Limit();
  return got;
}

TEST(Lsv2Link, ConnectCountsItsAttempts) {
  struct Case {
    const char* what;
    std::string answers;
    std::string written;
    bool ok;
  } cases[] = {
      {"DLE 0",
       "\x10"
       "0",
       "\x05", true},
      {"other characters are skipped",
       "ab\x10"
       "0",
       "\x05", true},
      {"DLE 1: EOT and again",
       "\x10"
       "1\x10"
       "0",
       "\x05\x04\x05", true},
      {"NAK stops", "\x15", "\x05\x04", false},
      {"four silent attempts", std::string(4, '\0'), "\x05\x05\x05\x05\x04", false},
      {"a collision raises the limit to ten",
       "\x05"
       "C" +
           std::string(9, '\0'),
       std::string(10, '\x05') + "\x04", false},
      {"after a collision",
       "\x05"
       "C\x10"
       "0",
       "\x05\x05", true},
  };
  for (const Case& c : cases) {
    const Connected got = RunConnect(c.answers);
    EXPECT_EQ(got.written, c.written) << c.what;
    EXPECT_TRUE(got.done) << c.what;
    EXPECT_EQ(got.ok, c.ok) << c.what;
  }
  EXPECT_EQ(RunConnect("\x05").collisions, 1);
  EXPECT_EQ(RunConnect("\x05").limit, kCollisionAttempts);
}

TEST(Lsv2Link, SendFrameResendsOnNakAndAsksAgainOnNoise) {
  const std::string f = kT;
  struct Case {
    const char* what;
    std::string answers;  // '\0': nothing came
    std::string written;
    bool ok;
  } cases[] = {
      {"DLE 1",
       "\x10"
       "1",
       f + "\x04", true},
      {"NAK, then DLE 1",
       "\x15\x10"
       "1",
       f + f + "\x04", true},
      {"silence: the frame again",
       std::string("\0\x10"
                   "1",
                   3),
       f + f + "\x04", true},
      {"noise: ENQ asks for the acknowledgement",
       std::string("x\0\x10"
                   "1",
                   4),
       f + "\x05\x04", true},
      {"DLE and a wrong digit",
       "\x10"
       "2\x10"
       "1",
       f + "\x05\x04", true},
      {"four counts in all", "\x15\x15\x15\x15", f + f + f + f, false},
  };
  for (const Case& c : cases) {
    FrameSender s(f);
    std::string written = s.Begin().write;
    bool done = false, ok = false;
    for (char a : c.answers) {
      if (done) break;
      const FrameSender::Step step = a == '\0' ? s.OnNothing() : s.OnChar(a);
      written += step.write;
      done = step.done;
      ok = step.ok;
    }
    EXPECT_EQ(written, c.written) << c.what;
    EXPECT_TRUE(done) << c.what;
    EXPECT_EQ(ok, c.ok) << c.what;
  }
}

}  // namespace
}  // namespace zova::lsv2
