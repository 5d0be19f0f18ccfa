// Any bytes from a server decode without reading or writing out of bounds,
// whatever the split into reads, and every event goes through the option
// answers and the report parser; any data escaped and decoded again in any
// split comes back unchanged and with no event. The first byte chooses the
// read size.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "serial/device/rfc2217_codec.h"
#include "serial/device/telnet_codec.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes DecodeInReads(const Bytes& in, size_t step, std::vector<zova::telnet::Event>& events) {
  zova::telnet::Decoder d;
  Bytes out;
  for (size_t at = 0; at < in.size(); at += step) {
    Bytes chunk(in.begin() + static_cast<ptrdiff_t>(at),
                in.begin() + static_cast<ptrdiff_t>(std::min(in.size(), at + step)));
    size_t n = d.Decode(chunk.data(), chunk.size(), chunk.data(), events);
    if (n > chunk.size()) std::abort();
    out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(n));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t step = data[0] % 16 + 1;
  Bytes in(data + 1, data + size);

  std::vector<zova::telnet::Event> events;
  Bytes decoded = DecodeInReads(in, step, events);
  if (decoded.size() > in.size()) std::abort();
  zova::telnet::Options options;
  Bytes replies;
  options.Offer(replies);
  for (const auto& e : events) {
    if (e.payload.size() > zova::telnet::Decoder::kMaxSubnegotiation) std::abort();
    options.Answer(e, replies);
    (void)zova::rfc2217::ParseReport(e);
  }

  Bytes escaped;
  zova::telnet::AppendEscaped(in.data(), in.size(), escaped);
  std::vector<zova::telnet::Event> none;
  if (DecodeInReads(escaped, step, none) != in || !none.empty()) std::abort();
  bool split = false;
  if (zova::telnet::DataBytesSent(in.data(), in.size(), escaped.size(), split) != in.size() ||
      split)
    std::abort();
  return 0;
}
