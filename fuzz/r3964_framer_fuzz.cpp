// The 3964R block: any payload the limit allows comes back whole through
// the receiver however its bytes are cut into runs, one the limit refuses
// is refused whole, and any bytes give the same decisions for any split.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "protocols/t3964r/r3964_link.h"

namespace {

using namespace zova::r3964;

struct Outcome {
  std::string written, telegram;
  int retransmits = 0, passes = 0;
  bool ok = false;
  bool operator==(const Outcome&) const = default;
};

Outcome Receive(std::string_view bytes, size_t chunk) {
  TelegramReceiver r;
  Outcome o;
  bool done = false;
  auto take = [&](const TelegramReceiver::Step& s) {
    o.written += s.write;
    o.retransmits += s.retransmit;
    o.passes += s.passEnded;
    done = s.done;
    o.ok = s.ok;
  };
  size_t pos = 0;
  while (!done && pos < bytes.size()) {
    const TelegramReceiver::Step s = r.Feed(bytes.substr(pos, chunk));
    if (s.used == 0 && !s.done) std::abort();  // a run is never refused whole
    pos += s.used;
    take(s);
  }
  for (int i = 0; !done; ++i) {
    if (i > kPasses) std::abort();  // timeouts end a receive
    take(r.OnTimeout());
  }
  o.telegram = r.Telegram();
  if (o.passes > kPasses) std::abort();
  return o;
}

struct Collected {
  BlockEnd end;
  size_t used;
  std::string raw;
  bool operator==(const Collected&) const = default;
};

Collected Collect(std::string_view bytes, size_t chunk) {
  BlockCollector c;
  size_t pos = 0;
  while (pos < bytes.size() && c.End() == BlockEnd::kOpen) pos += c.Feed(bytes.substr(pos, chunk));
  if (c.Raw().size() > kMaxBlock) std::abort();
  return {c.End(), pos, c.Raw()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t chunk = 1 + data[0] % 13;
  const std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);

  // Any bytes: the same decisions whole, byte by byte and in runs.
  const Outcome whole = Receive(in, in.size() + 1);
  if (Receive(in, 1) != whole || Receive(in, chunk) != whole) std::abort();
  if (Collect(in, 1) != Collect(in, in.size() + 1)) std::abort();

  // Round trip: the input as payload.
  const std::string telegram = Telegram(in);
  const Block block = BuildBlock(telegram);
  const bool fits = DoubleDle(telegram).size() + 1 <= kMaxBlock;
  if (block.Ok() != fits) std::abort();
  if (!block.Ok()) return 0;
  if (UndoubleDle(DoubleDle(telegram)) != telegram) std::abort();
  const Outcome back = Receive(std::string(1, kStx) + block.bytes, chunk);
  if (!back.ok || back.telegram != telegram || back.written != "\x10\x10") std::abort();

  // The sender takes any answers without a crash and stops within its passes.
  TelegramSender s(telegram, (data[0] & 0x80) != 0);
  TelegramSender::Step step = s.Begin();
  for (char ch : in) {
    if (step.done) break;
    step = ch == 0 ? s.OnTimeout() : ch == 1 ? s.AfterUnsolicited() : s.OnChar(ch);
  }
  if (s.Pass() > kPasses) std::abort();
  return 0;
}
