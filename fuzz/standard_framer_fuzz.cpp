// The standard reception framing: any codes and any stream, fed whole, byte
// by byte and in runs of random sizes, give the same decisions; nothing from
// the end character on is stored; a program framed by the codes comes back
// as it was sent.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "serial/standard/standard_framer.h"

namespace {

struct Outcome {
  std::string stored;
  size_t used = 0;
  bool started, stopSeen, ended, matched, complete;
  bool operator==(const Outcome&) const = default;
};

// Feeds Stream in runs whose sizes come from Sizes (cycled; 0 means whole).
Outcome FeedInRuns(const zova::StandardCodes& codes, std::string_view stream,
                   std::string_view sizes) {
  zova::StandardFramer f(codes);
  Outcome o;
  size_t at = 0, k = 0;
  while (at < stream.size() && !f.Ended()) {
    size_t n = sizes.empty() ? stream.size() : static_cast<uint8_t>(sizes[k++ % sizes.size()]);
    if (n == 0 || n > stream.size() - at) n = stream.size() - at;
    const zova::StandardFramer::Step s = f.Feed(stream.substr(at, n));
    if (s.stored > s.used || s.used > n || s.used == 0) std::abort();
    if (s.used < n && !f.Ended()) std::abort();  // only the end leaves a rest
    o.stored.append(stream.substr(at, s.stored));
    o.used += s.used;
    at += s.used;
  }
  if (f.Ended() && f.Feed("x").used != 0) std::abort();  // an ended reception takes no more
  o.started = f.Started();
  o.stopSeen = f.StopSeen();
  o.ended = f.Ended();
  o.matched = f.SequenceMatched();
  o.complete = f.Complete();
  return o;
}

std::string Code(uint8_t flags, int bit, char c, size_t len = 1) {
  return (flags >> bit) & 1 ? std::string(len, c) : std::string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  const uint8_t flags = data[0];
  zova::StandardCodes codes;
  codes.startKode = Code(flags, 0, static_cast<char>(data[1]));
  codes.stoppKode = Code(flags, 1, static_cast<char>(data[2]));
  codes.stoppTegn = Code(flags, 2, static_cast<char>(data[3]), (flags >> 3) & 1 ? 2 : 1);
  const size_t seqLen = std::min<size_t>(data[4] % 4, size - 5);
  codes.stoppFeil.assign(reinterpret_cast<const char*>(data + 5), seqLen);
  std::string_view rest(reinterpret_cast<const char*>(data + 5 + seqLen), size - 5 - seqLen);
  const size_t split = rest.empty() ? 0 : static_cast<uint8_t>(rest[0]) % (rest.size() + 1);
  std::string_view sizes = rest.substr(0, split), stream = rest.substr(split);

  const Outcome whole = FeedInRuns(codes, stream, "");
  if (!(FeedInRuns(codes, stream, std::string_view("\x01", 1)) == whole)) std::abort();
  if (!(FeedInRuns(codes, stream, sizes) == whole)) std::abort();

  // Nothing from the end character on is stored.
  const size_t end =
      codes.stoppTegn.empty() ? std::string_view::npos : stream.find(codes.stoppTegn[0]);
  if (whole.ended != (end != std::string_view::npos)) std::abort();
  if (whole.used != (whole.ended ? end + 1 : stream.size())) std::abort();
  if (whole.stored != stream.substr(0, whole.ended ? end : stream.size())) std::abort();

  // A program the control frames with the codes arrives whole.
  if (!codes.stoppTegn.empty() && !codes.stoppKode.empty()) {
    std::string body(stream);
    std::erase(body, codes.stoppTegn[0]);
    std::erase(body, codes.stoppKode[0]);
    const std::string sent = codes.startKode + body + codes.stoppKode;
    if (sent.find(codes.stoppTegn[0]) == std::string::npos) {
      const Outcome got = FeedInRuns(codes, sent + codes.stoppTegn, sizes);
      if (got.stored != sent || !got.ended || !got.complete) std::abort();
    }
  }
  return 0;
}
