// Writing to a line: single characters with retries, the end-of-block and TV
// padding, block-wise flow control, buffered output and binary blocks.

#include "serial/line/tcom.h"

#include <chrono>
#include <vector>

#include "core/latin1.h"
#include "serial/line/write_rules.h"

namespace zova {

namespace {

// A UART at 1 baud still moves a byte in 10 s; a block write is given the
// per-byte time for every byte, as the line's timeouts say, within reason.
constexpr int64_t kMaxBlockTimeoutMs = 600000;

int BlockTimeout(const TComPort& rec, size_t bytes) {
  int64_t t = static_cast<int64_t>(rec.TimeMultiplier) * static_cast<int64_t>(bytes);
  return static_cast<int>(t > kMaxBlockTimeoutMs ? kMaxBlockTimeoutMs : t);
}

uint8_t WireByte(const TComPort& rec, char ch) {
  if (!rec.Raw) return static_cast<uint8_t>(zova::EncodeChar(rec.Code, ch));
  auto b = static_cast<uint8_t>(ch);
  // A raw byte on an ISO line still may not carry a parity bit of its own.
  if (rec.Code == kCodeIso && b >= 128) b &= 0x7F;
  return b;
}

std::vector<uint8_t> ToWire(const TComPort& rec, std::string_view chars) {
  std::vector<uint8_t> wire(chars.size());
  for (size_t i = 0; i < chars.size(); ++i) wire[i] = WireByte(rec, chars[i]);
  return wire;
}

}  // namespace

void TCom::NoteSent(TComPort& rec, const char* chars, size_t n) {
  if (Logging)
    for (size_t i = 0; i < n; ++i) LogByte(kMarkSent, static_cast<uint8_t>(chars[i]));
  rec.CharCount += static_cast<int64_t>(n);
  Echo(rec, false, chars, n);
}

void TCom::AfterWrite(const TComPort& rec) {
  if (rec.Delay > 0) Pause(rec.Delay);
  if (rec.LoopDelay > 0) {
    // Pacing below the scheduler's resolution: a busy wait on the real clock.
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(rec.LoopDelay);
    while (std::chrono::steady_clock::now() < until) {
    }
  }
}

// The kernel has no DSR flow control for a tty: while DTR/DSR flow is on and
// the control holds DSR low, output waits here as the UART would hold it.
bool TCom::HeldByDsr(TComPort& rec) {
  if (!rec.Dcb.dtrDsr || !rec.Handle) return false;
  auto m = rec.Handle->GetModemStatus();
  return m && !m->dsr;
}

bool TCom::WatchesDsr(TComPort& rec) {
  return rec.Dcb.dtrDsr && rec.Handle && rec.Handle->GetModemStatus().has_value();
}

size_t TCom::WriteRetrying(TComPort& rec, const uint8_t* data, size_t len, int tries,
                           TryTime time) {
  size_t done = 0;
  if (!rec.Handle) return done;
  for (int t = 0; t < tries && done < len; ++t) {
    if (t > 0 && Terminated()) break;
    if (HeldByDsr(rec)) {
      Pause(rec.TimeMultiplier);
      continue;
    }
    const size_t rest = len - done;
    const int timeout =
        time == TryTime::OneCharacter ? rec.TimeMultiplier : BlockTimeout(rec, rest);
    IoResult r = rec.Handle->Write(data + done, rest, timeout);
    if (r.count > 0) {
      done += r.count;
      t = -1;
    } else if (!r.timedOut) {
      // An error returns at once; do not spend the tries in a few microseconds.
      Pause(rec.TimeMultiplier);
    }
  }
  return done;
}

void TCom::WriteRawChar(TComPort& rec, bool noRetry, bool& ok, char ch) {
  if (rec.Buffer) {
    BufferedWrite(rec, false, ok, ch, noRetry);
    return;
  }
  const uint8_t b = WireByte(rec, ch);
  ok = WriteRetrying(rec, &b, 1, noRetry ? 1 : rec.WriteTries, TryTime::OneCharacter) == 1;
  if (!ok) return;
  NoteSent(rec, &ch, 1);
  AfterWrite(rec);
}

// Listens for the control's answer during a block-wise send. True when the
// answer ends the write (Ok then false); false when the send goes on.
bool TCom::BlockwiseAnswered(TComPort& rec, bool& ok) {
  char in = 0;
  bool got = false;
  PollChar(rec, got, in);
  if (!got) return false;
  switch (ClassifyBlockwise(rec, static_cast<uint8_t>(in))) {
    case BlockwiseAnswer::Continue:
      // The protocol reads it as its next input.
      UnreadChar(rec, in);
      ok = false;
      return true;
    case BlockwiseAnswer::Break:
      ok = false;
      return true;
    case BlockwiseAnswer::None:
      return false;
  }
  return false;
}

void TCom::WriteBlockChar(TComPort& rec, bool noRetry, bool& ok, char ch) {
  if (DropOnLine(rec, ch)) {
    ok = true;
    return;
  }
  WriteRawChar(rec, noRetry, ok, ch);
  if (!BlockwiseOn(rec)) return;
  auto due = [&] {
    return BlockwiseCheckDue(rec, BlockwiseContext{!ok, noRetry, Terminated(), BytesLeft()});
  };
  if (!due()) return;
  if (ok) {
    BlockwiseAnswered(rec, ok);
    return;
  }
  while (!ok && !Terminated()) {
    if (BlockwiseAnswered(rec, ok)) return;
    WriteRawChar(rec, noRetry, ok, ch);
  }
}

void TCom::WriteChar(TComPort& rec, bool noRetry, bool& ok, char ch) {
  BlockState state{rec.EobSent, rec.LineLength};
  std::string out = PlanWriteChar(rec, state, ch);
  rec.EobSent = state.eobSent;
  rec.LineLength = state.lineLength;
  ok = true;
  for (char c : out) {
    WriteBlockChar(rec, noRetry, ok, c);
    if (!ok) return;
  }
}

void TCom::WriteChars(TComPort& rec, std::string_view data, bool noRetry, bool& ok, size_t& sent) {
  ok = true;
  sent = 0;
  if (!RunWriteAllowed(rec, WatchesDsr(rec))) {
    for (char c : data) {
      WriteChar(rec, noRetry, ok, c);
      if (!ok) return;
      ++sent;
    }
    return;
  }
  if (!rec.Handle) {
    ok = false;
    return;
  }
  BlockState state{rec.EobSent, rec.LineLength};
  std::string line;
  std::vector<uint32_t> ends;
  PlanWriteRun(rec, state, data, line, ends);
  rec.EobSent = state.eobSent;
  rec.LineLength = state.lineLength;
  const std::vector<uint8_t> wire = ToWire(rec, line);
  // Each try has the time one character would get: a control that holds the
  // line is given up on as soon as with single writes.
  const size_t done = WriteRetrying(rec, wire.data(), wire.size(), noRetry ? 1 : rec.WriteTries,
                                    TryTime::OneCharacter);
  NoteSent(rec, line.data(), done);
  ok = done == wire.size();
  sent = CharsWritten(ends, done);
}

void TCom::WriteString(TComPort& rec, const std::string& text, bool& ok, bool noRetry) {
  ok = true;
  for (char c : text) {
    if (rec.TVCheck)
      WriteChar(rec, noRetry, ok, c);
    else
      WriteBlockChar(rec, noRetry, ok, c);
    if (!ok) return;
  }
}

void TCom::WriteStringWaitContinue(TComPort& rec, const std::string& text, bool& ok,
                                   const CharSet& continueSet) {
  ok = true;
  bool waited = false;
  for (char c : text) {
    WriteRawChar(rec, false, ok, c);
    while (!ok && !Terminated()) {
      if (!waited) {
        SetCell(kColMelding, L1("Venter på fortsettelse"));
        waited = true;
      }
      char in = 0;
      bool got = false;
      ReadChar(rec, false, got, in);
      if (got && !continueSet.test(static_cast<uint8_t>(in))) {
        // Not a "go on": the control says something else; let the protocol
        // read it.
        UnreadChar(rec, in);
        break;
      }
      WriteRawChar(rec, false, ok, c);
    }
    if (!ok) break;
  }
  if (waited) SetCell(kColMelding, "");
}

void TCom::WriteUntilAnswer(TComPort& rec, const std::string& text, bool& ok, bool& answered,
                            char& ch, const CharSet& answerSet) {
  ok = true;
  answered = false;
  for (char c : text) {
    WriteRawChar(rec, false, ok, c);
    if (!ok) return;
    char in = 0;
    bool got = false;
    PollChar(rec, got, in);
    if (got && answerSet.test(static_cast<uint8_t>(in))) {
      answered = true;
      ch = in;
      return;
    }
  }
}

void TCom::WriteBuffer(TComPort& rec, int length, bool& ok, const char* data, int& written) {
  written = 0;
  ok = false;
  if (!rec.Handle || length < 0 || Terminated()) return;
  const auto* bytes = reinterpret_cast<const uint8_t*>(data);
  written = static_cast<int>(
      WriteRetrying(rec, bytes, static_cast<size_t>(length), rec.WriteTries, TryTime::WholeRest));
  // Tested once a block: a fast send otherwise spends a test on every byte.
  if (Logging)
    for (int i = 0; i < written; ++i) LogByte(kMarkSent, bytes[i]);
  ok = written == length;
  if (ok) return;
  SetCell(kColMelding, std::to_string(rec.CharCount + written));
  if (!rec.Blokkvis || !rec.BlokkvisActive) return;
  for (;;) {
    char in = 0;
    bool got = false;
    ReadChar(rec, true, got, in);
    if (!got || Terminated()) return;
    auto a = ClassifyBlockwise(rec, static_cast<uint8_t>(in));
    if (a == BlockwiseAnswer::Continue) UnreadChar(rec, in);
    if (a != BlockwiseAnswer::None) return;
  }
}

void TCom::BufferedWrite(TComPort& rec, bool flush, bool& ok, char ch, bool noRetry) {
  ok = true;
  if (!flush) rec.OutBuf += ch;
  if (rec.OutBuf.empty() || !BufferFlushDue(rec.OutBuf, ch, flush)) return;
  if (!rec.Handle) {
    ok = false;
    return;
  }
  const std::vector<uint8_t> wire = ToWire(rec, rec.OutBuf);
  const size_t done = WriteRetrying(rec, wire.data(), wire.size(), noRetry ? 1 : rec.WriteTries,
                                    TryTime::WholeRest);
  NoteSent(rec, rec.OutBuf.data(), done);
  rec.OutBuf.erase(0, done);
  ok = rec.OutBuf.empty();
  if (ok) AfterWrite(rec);
}

void TCom::FlushOutput(TComPort& rec, bool& ok) {
  BufferedWrite(rec, true, ok, 0, false);
}

}  // namespace zova
