#pragma once
// The output rules of a line as pure functions: what WriteChar turns a
// character into, when block-wise flow control listens for the control's
// answer, and when buffered output goes out. The line layer does the I/O.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/config.h"

namespace zova {

struct TComPort;

// The per-line state WriteChar carries from one character to the next.
struct BlockState {
  bool eobSent = false;
  int lineLength = 0;  // characters in the current output block
};

// The characters WriteChar passes on to WriteBlockChar for Ch, in order, and
// the new state. Every line end (CR or LF; a CR LF pair gives one) becomes
// the EOB string; with TVCheck the block (line plus EOB) is padded to an even
// length with TVTegn, and a TAB pad gets a blank before it where that is
// needed to come out even. Raw lines and an empty EOB pass line ends as they
// are. DC2 does not count towards the block length.
std::string PlanWriteChar(const TComPort& rec, BlockState& state, char ch);

// EIA has no LF: its end of block is the CR code.
bool DropOnLine(const TComPort& rec, char ch);

// The line characters a run of program characters becomes: PlanWriteChar
// for each, then DropOnLine, appended to Out. Ends[i] is Out's length once
// Data[i] is planned, so a write cut short tells how many of Data went whole.
void PlanWriteRun(const TComPort& rec, BlockState& state, std::string_view data, std::string& out,
                  std::vector<uint32_t>& ends);

// How many of a run's characters went out whole when Written of its line
// characters did (Ends as PlanWriteRun gives them).
size_t CharsWritten(const std::vector<uint32_t>& ends, size_t written);

enum class BlockwiseAnswer { None, Continue, Break };

// A character polled during a block-wise send. A continue character is
// pushed back for the protocol to read; a break character ends the send.
BlockwiseAnswer ClassifyBlockwise(const TComPort& rec, uint8_t ch);

struct BlockwiseContext {
  bool writeFailed = false;
  bool noRetry = false;
  bool terminated = false;
  int64_t bytesLeft = 0;  // of the file being sent
};

// Whether block-wise flow control applies to the send at all. When it does
// not, BlockwiseCheckDue is false in any context, and the context (which asks
// the file how much is left, two system calls) need not be built.
bool BlockwiseOn(const TComPort& rec);

// True when WriteBlockChar must listen for the control after this write:
// every 4096th character and after every failed write, once StartBlokkvis
// characters have gone and while at least 6 bytes of the file remain.
bool BlockwiseCheckDue(const TComPort& rec, const BlockwiseContext& ctx);

// Whether a run of characters may go to the kernel in one write: nothing
// between two of them needs the station (no pacing, no block-wise answer to
// listen for, no DSR hold done by hand, no buffered output of its own).
// WatchesDsr: the station looks at DSR before each byte (DTR/DSR flow on a
// device that reports its modem lines).
bool RunWriteAllowed(const TComPort& rec, bool watchesDsr);

// With Buffer on: whether OutBuf (Ch already appended) goes out now.
bool BufferFlushDue(std::string_view outBuf, char ch, bool flush);

}  // namespace zova
