#include "serial/line/write_rules.h"

#include <algorithm>

#include "serial/line/com_port.h"

namespace zova {

namespace {
constexpr char kCr = 13, kLf = 10, kTab = 9, kDc2 = 18;
constexpr int kBlockwiseInterval = 4096;
constexpr int kBlockwiseMinLeft = 6;
constexpr size_t kBufferFull = 250, kBufferLineEnd = 200;
}  // namespace

std::string PlanWriteChar(const TComPort& rec, BlockState& state, char ch) {
  std::string out;
  if (!rec.Eob.empty() && !rec.Raw && (ch == kCr || ch == kLf)) {
    // A CR LF pair yields one end-of-block, not two.
    if (state.eobSent) return out;
    state.eobSent = true;
    const int eobLength = static_cast<int>(rec.Eob.size());
    if (rec.TVCheck && rec.TVTegn == kTab && (state.lineLength + eobLength) % 2 == 0) {
      out += ' ';
      ++state.lineLength;
    }
    if (rec.TVCheck && (state.lineLength + eobLength) % 2 != 0) out += rec.TVTegn;
    out += rec.Eob;
    state.lineLength = 0;
    return out;
  }
  state.eobSent = false;
  out += ch;
  if (ch != kDc2) ++state.lineLength;
  return out;
}

void PlanWriteRun(const TComPort& rec, BlockState& state, std::string_view data, std::string& out,
                  std::vector<uint32_t>& ends) {
  ends.reserve(ends.size() + data.size());
  for (char ch : data) {
    for (char c : PlanWriteChar(rec, state, ch))
      if (!DropOnLine(rec, c)) out += c;
    ends.push_back(static_cast<uint32_t>(out.size()));
  }
}

size_t CharsWritten(const std::vector<uint32_t>& ends, size_t written) {
  return static_cast<size_t>(std::upper_bound(ends.begin(), ends.end(), written) - ends.begin());
}

bool DropOnLine(const TComPort& rec, char ch) {
  return rec.Code == kCodeEia && !rec.Raw && ch == kLf;
}

BlockwiseAnswer ClassifyBlockwise(const TComPort& rec, uint8_t ch) {
  if (rec.ContinueSet.test(ch)) return BlockwiseAnswer::Continue;
  if (rec.BreakSet.test(ch)) return BlockwiseAnswer::Break;
  return BlockwiseAnswer::None;
}

bool BlockwiseOn(const TComPort& rec) {
  return rec.Blokkvis && rec.BlokkvisActive && !rec.Raw;
}

bool BlockwiseCheckDue(const TComPort& rec, const BlockwiseContext& ctx) {
  if (!BlockwiseOn(rec)) return false;
  if (ctx.noRetry || ctx.terminated || ctx.bytesLeft < kBlockwiseMinLeft) return false;
  if (rec.CharCount <= rec.StartBlokkvis) return false;
  return ctx.writeFailed || rec.CharCount % kBlockwiseInterval == 0;
}

bool RunWriteAllowed(const TComPort& rec, bool watchesDsr) {
  return !rec.Buffer && rec.Delay <= 0 && rec.LoopDelay <= 0 && !BlockwiseOn(rec) && !watchesDsr;
}

bool BufferFlushDue(std::string_view outBuf, char ch, bool flush) {
  if (flush || outBuf.size() >= kBufferFull) return true;
  auto c = static_cast<unsigned char>(ch);
  if (c < 32 && c != 10 && c != 11 && c != 12 && c != 13) return true;
  if (ch == '%') return true;
  return ch == kLf && outBuf.size() >= kBufferLineEnd;
}

}  // namespace zova
