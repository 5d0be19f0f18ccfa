// The pure rules of the line layer: output shaping, block-wise flow, the
// buffered path, the stop procedure, line errors, start edges, keep-alives.

#include <gtest/gtest.h>

#include <random>

#include "serial/line/com_port.h"
#include "serial/line/line_checks.h"
#include "serial/line/write_rules.h"

namespace zova {
namespace {

std::string Shape(const TComPort& rec, std::string_view text) {
  BlockState st;
  std::string out;
  for (char c : text) out += PlanWriteChar(rec, st, c);
  return out;
}

TComPort Port(std::string eob, bool tv, char tvTegn, bool raw = false) {
  TComPort r;
  r.Eob = std::move(eob);
  r.TVCheck = tv;
  r.TVTegn = tvTegn;
  r.Raw = raw;
  return r;
}

TEST(WriteChar, LineEndsAndTvPadding) {
  struct Case {
    TComPort rec;
    const char* in;
    const char* out;
  } cases[] = {
      {Port("\r\n", false, ' '), "AB\r\nC\n", "AB\r\nC\r\n"},
      {Port("\r\n", false, ' '), "A\rB\n", "A\r\nB\r\n"},
      {Port("\r\n", false, ' '), "A\n\rB", "A\r\nB"},
      {Port("\r\n", true, ' '), "ABC\r\n", "ABC \r\n"},
      {Port("\r\n", true, ' '), "AB\r\n", "AB\r\n"},
      {Port("\r\n", true, '\t'), "AB\n", "AB \t\r\n"},
      {Port("\r\n", true, '\t'), "ABC\n", "ABC\t\r\n"},
      {Port("\r\n", true, '\t'), "\n", " \t\r\n"},
      {Port("\r\n", true, ' '),
       "\x12"
       "AB\n",
       "\x12"
       "AB\r\n"},
      {Port("\r", true, ' '), "AB\n", "AB \r"},
      {Port("\r\n", true, ' ', true), "A\n", "A\n"},
      {Port("", true, ' '), "A\r\n", "A\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Shape(c.rec, c.in), c.out) << c.in;
}

TEST(WriteChar, EveryTvBlockIsEven) {
  std::mt19937 gen(3);
  const char alphabet[] = "GXY01.-\r\n\x12";
  for (char tv : {' ', '\t'}) {
    for (const char* eob : {"\r\n", "\r", "\r\n\r"}) {
      TComPort rec = Port(eob, true, tv);
      std::string in;
      for (int i = 0; i < 2000; ++i) in += alphabet[gen() % (sizeof alphabet - 1)];
      in += '\n';
      std::string out = Shape(rec, in);
      size_t start = 0, at;
      while ((at = out.find(eob, start)) != std::string::npos) {
        std::string block = out.substr(start, at - start);
        int counted = 0;
        for (char c : block) counted += c != '\x12';
        EXPECT_EQ((counted + std::string(eob).size()) % 2, 0u) << block;
        if (tv == '\t') {
          EXPECT_EQ(block.back(), '\t');
        }
        start = at + std::string(eob).size();
      }
    }
  }
}

TEST(WriteBlockChar, EiaDropsLf) {
  TComPort r;
  r.Code = kCodeEia;
  EXPECT_TRUE(DropOnLine(r, '\n'));
  EXPECT_FALSE(DropOnLine(r, '\r'));
  r.Raw = true;
  EXPECT_FALSE(DropOnLine(r, '\n'));
  r.Raw = false;
  for (uint8_t code : {kCodeIso, kCodeAscii, kCodeEiaIso, kCodeIsoEia})
    EXPECT_FALSE(DropOnLine((r.Code = code, r), '\n')) << int(code);
}

TEST(WriteRun, SameCharactersAsOneByOneAndWhereEachEnds) {
  struct Case {
    const char* name;
    const char* eob;
    bool tv;
    uint8_t code;
    std::string text;
    std::vector<uint32_t> ends;
  } cases[] = {
      {"a CR LF pair is one EOB", "\r\n", false, kCodeAscii, "G1\r\nX", {1, 2, 4, 4, 5}},
      {"TV padding belongs to the line end", "\r\n", true, kCodeAscii, "ABC\n", {1, 2, 3, 6}},
      {"EIA drops LF", "\r\n", false, kCodeEia, "A\nB", {1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TComPort rec = Port(c.eob, c.tv, ' ');
    rec.Code = c.code;
    BlockState st;
    std::string out;
    std::vector<uint32_t> ends;
    PlanWriteRun(rec, st, c.text, out, ends);
    std::string oneByOne;
    for (char ch : Shape(rec, c.text))
      if (!DropOnLine(rec, ch)) oneByOne += ch;
    EXPECT_EQ(out, oneByOne);
    EXPECT_EQ(ends, c.ends);
  }
  // How many characters went whole for a write cut after N line characters.
  const std::vector<uint32_t> ends{1, 2, 4, 4, 5};
  for (auto [written, whole] : {std::pair<size_t, size_t>{0, 0}, {1, 1}, {3, 2}, {4, 4}, {5, 5}})
    EXPECT_EQ(CharsWritten(ends, written), whole) << written;
}

TEST(WriteRun, OnlyWhenNoCharacterNeedsTheStation) {
  auto with = [](auto set, bool watchesDsr = false) {
    TComPort r;
    set(r);
    return RunWriteAllowed(r, watchesDsr);
  };
  EXPECT_TRUE(with([](TComPort&) {}));
  EXPECT_FALSE(with([](TComPort& r) { r.Buffer = true; }));
  EXPECT_FALSE(with([](TComPort& r) { r.Delay = 1; }));
  EXPECT_FALSE(with([](TComPort& r) { r.LoopDelay = 1; }));
  EXPECT_FALSE(with([](TComPort&) {}, true)) << "DSR looked at before each byte";
  EXPECT_FALSE(with([](TComPort& r) { r.Blokkvis = r.BlokkvisActive = true; }));
  EXPECT_TRUE(with([](TComPort& r) { r.Blokkvis = true, r.BlokkvisActive = false; }));
}

TEST(Blokkvis, AnswersAndWhenToListen) {
  TComPort r;
  r.BreakSet.set(4).set(3).set(20);
  r.ContinueSet.set(18).set('%');
  EXPECT_EQ(ClassifyBlockwise(r, 4), BlockwiseAnswer::Break);
  EXPECT_EQ(ClassifyBlockwise(r, 20), BlockwiseAnswer::Break);
  EXPECT_EQ(ClassifyBlockwise(r, '%'), BlockwiseAnswer::Continue);
  EXPECT_EQ(ClassifyBlockwise(r, 'A'), BlockwiseAnswer::None);
  EXPECT_EQ(ClassifyBlockwise(r, 17), BlockwiseAnswer::None);

  r.Blokkvis = true;
  r.StartBlokkvis = 100;
  struct Case {
    int64_t count;
    bool failed, noRetry, terminated, raw, active;
    int64_t left;
    bool due;
  } cases[] = {
      {4096, false, false, false, false, true, 100, true},
      {4097, false, false, false, false, true, 100, false},
      {4097, true, false, false, false, true, 100, true},
      {8192, false, false, false, false, true, 6, true},
      {8192, false, false, false, false, true, 5, false},
      {8192, false, true, false, false, true, 100, false},
      {8192, false, false, true, false, true, 100, false},
      {8192, false, false, false, true, true, 100, false},
      {8192, false, false, false, false, false, 100, false},
      {50, true, false, false, false, true, 100, false},
      {100, true, false, false, false, true, 100, false},
      {101, true, false, false, false, true, 100, true},
  };
  for (const auto& c : cases) {
    r.CharCount = c.count;
    r.Raw = c.raw;
    r.BlokkvisActive = c.active;
    EXPECT_EQ(BlockwiseCheckDue(r, {c.failed, c.noRetry, c.terminated, c.left}), c.due)
        << c.count << " left " << c.left;
    EXPECT_EQ(BlockwiseOn(r), !c.raw && c.active);
  }
  r.Blokkvis = false;
  r.CharCount = 4096;
  r.Raw = false;
  EXPECT_FALSE(BlockwiseOn(r));
  EXPECT_FALSE(BlockwiseCheckDue(r, {false, false, false, 100}));
}

TEST(BufferedWrite, FlushRules) {
  struct Case {
    size_t size;
    char ch;
    bool flush, due;
  } cases[] = {
      {10, 'A', false, false},    {10, 'A', true, true},     {249, 'A', false, false},
      {250, 'A', false, true},    {10, '%', false, true},    {10, '\x14', false, true},
      {10, '\x12', false, true},  {10, '\r', false, false},  {10, '\x0b', false, false},
      {10, '\x0c', false, false}, {199, '\n', false, false}, {200, '\n', false, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BufferFlushDue(std::string(c.size, 'x'), c.ch, c.flush), c.due)
        << c.size << " " << int(c.ch);
}

TEST(StopSender, CheckAndPlan) {
  TComPort r;
  r.StoppTid = 3;
  r.ValidSet.set('A');
  EXPECT_TRUE(InvalidCharStopsSender(r, true, false, '#'));
  EXPECT_FALSE(InvalidCharStopsSender(r, true, false, 'A'));
  EXPECT_FALSE(InvalidCharStopsSender(r, false, false, '#'));
  EXPECT_FALSE(InvalidCharStopsSender(r, true, true, '#')) << "one stop per transfer";
  r.StoppTid = 0;
  EXPECT_FALSE(InvalidCharStopsSender(r, true, false, '#'));

  r.StoppTid = 3;
  r.XonXoff = true;
  r.StoppByte = 20;
  r.StoppFortsett = true;
  r.BreakSignal = true;
  StopPlan p = PlanStopSender(r, false, 1);
  EXPECT_EQ(p.message, "Ugyldig tegn: [SOH] - venter 3 sekund");
  EXPECT_TRUE(p.sendXoff && p.breakSignal && p.xonAfter);
  EXPECT_EQ(p.stopByte, 20);
  EXPECT_EQ(p.waitSeconds, 3);
  r.CharCount = 1234;
  r.LineLength = 17;
  EXPECT_EQ(PlanStopSender(r, true, 0).message, "TVCheck feilet 1234/17 - venter 3 sekund");
  r.HandShake = false;
  p = PlanStopSender(r, false, '#');
  EXPECT_FALSE(p.sendXoff);
  EXPECT_EQ(p.stopByte, -1) << "nothing is sent to the control without handshake";
  EXPECT_EQ(p.message, "Ugyldig tegn: [35] - venter 3 sekund");
}

TEST(CheckComError, FirstNewErrorInOrder) {
  LineErrorCounts a, b;
  EXPECT_EQ(LineErrorText(a, b), "");
  b.parity = 1;
  EXPECT_EQ(LineErrorText(a, b), "Com: Parity error oppdaget");
  b.overrun = 2;
  EXPECT_EQ(LineErrorText(a, b), "Com: Overrun oppdaget");
  b.frame = 1;
  b.brk = 1;
  EXPECT_EQ(LineErrorText(a, b), "Com: Break oppdaget");
  a = b;
  EXPECT_EQ(LineErrorText(a, b), "") << "old errors are not new";
  b.rxOverflow = 5;
  b.io = 1;
  EXPECT_EQ(LineErrorText(a, b), "Com: I/O-error oppdaget");
  EXPECT_EQ(LineErrorText(b, LineErrorCounts{}), "") << "counters restarted";
}

TEST(RemoteReady, LinesByHandshake) {
  struct Case {
    bool dtrDsr, rtsCts, cts, dsr, wantOn, ready;
  } cases[] = {
      {true, true, true, true, true, true},     {true, true, true, false, true, false},
      {true, true, false, false, false, true},  {true, true, true, false, false, false},
      {true, false, false, true, true, true},   {true, false, true, false, true, false},
      {false, true, true, false, true, true},   {false, false, true, false, true, true},
      {false, false, false, true, false, true}, {false, true, false, true, true, false},
  };
  for (const auto& c : cases) {
    TComPort r;
    r.DtrDsr = c.dtrDsr;
    r.RtsCts = c.rtsCts;
    ModemStatus m;
    m.cts = c.cts;
    m.dsr = c.dsr;
    EXPECT_EQ(RemoteReadyFrom(r, m, c.wantOn), c.ready)
        << c.dtrDsr << c.rtsCts << c.cts << c.dsr << c.wantOn;
  }
  ModemStatus all{true, true, true, true};
  EXPECT_EQ(ModemStatusWord(all), 0xF0u);
  EXPECT_EQ(ModemStatusWord(ModemStatus{false, true, false, false}), 0x20u);
}

TEST(PollRemoteStart, NeedsARisingEdge) {
  TComPort r;
  r.HardwareStart = r.HandShake = true;
  r.RemoteWasReady = true;  // the line was up when the port opened
  EXPECT_FALSE(StepRemoteStart(r, true, false));
  EXPECT_FALSE(r.StartSeen);
  StepRemoteStart(r, false, true);  // drops
  EXPECT_FALSE(r.RemoteWasReady);
  StepRemoteStart(r, true, false);  // rises
  EXPECT_TRUE(r.StartSeen);

  // Without DsrOn the line must be seen fully off before it re-arms.
  r.DsrOn = false;
  r.RemoteWasReady = true;
  StepRemoteStart(r, false, false);
  EXPECT_TRUE(r.RemoteWasReady);
  StepRemoteStart(r, false, true);
  EXPECT_FALSE(r.RemoteWasReady);

  r.XonXoff = true;
  EXPECT_TRUE(StepRemoteStart(r, true, false)) << "output resumed as after XON";
  r.HardwareStart = false;
  r.StartSeen = true;
  EXPECT_FALSE(StepRemoteStart(r, true, false));
  EXPECT_FALSE(r.StartSeen);
}

TEST(IdleLine, PingCountsAndEnds) {
  for (bool terminate : {false, true}) {
    TComPort r;
    r.TerminateOnError = terminate;
    PingStep s;
    for (int i = 1; i <= 10; ++i) {
      s = StepPing(r, false, "Tidsavbrudd");
      if (i < 10) {
        EXPECT_EQ(s.message, "Ping feilet - " + std::to_string(i) + " (Tidsavbrudd)");
      }
      EXPECT_EQ(s.terminate, terminate && i == 10);
    }
    if (terminate) {
      EXPECT_EQ(s.message, "Ping feilet igjen, terminerer");
    } else {
      EXPECT_EQ(s.message, "Ping feilet - 10 (Tidsavbrudd)");
      EXPECT_FALSE(StepPing(r, false, "x").terminate);
    }
    s = StepPing(r, true, "");
    EXPECT_EQ(s.message, terminate ? "Ping OK - 10" : "Ping OK - 11");
    EXPECT_EQ(StepPing(r, true, "").message, "") << "no news while it answers";
  }
}

TEST(IdleLine, XonAfterThirtyTimeouts) {
  TComPort r;
  EXPECT_FALSE(StepXonKeepAlive(r));
  r.XOnTest = true;
  r.IdleCount = 0;
  int sent = 0;
  for (int i = 1; i <= 90; ++i)
    if (StepXonKeepAlive(r)) {
      ++sent;
      EXPECT_EQ(i % 30, 0);
    }
  EXPECT_EQ(sent, 3);
}

}  // namespace
}  // namespace zova
