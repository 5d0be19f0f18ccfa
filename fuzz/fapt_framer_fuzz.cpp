// The FAPT block framing: any bytes give the same reception however they are
// cut into runs, and any file framed into its block image comes back as it
// was, padded to whole blocks.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "serial/variants/fapt_framer.h"

namespace {

using zova::FaptEnd;
using zova::FaptFramer;

struct Got {
  std::string data, name;
  FaptEnd end;
  size_t used;
  bool operator==(const Got&) const = default;
};

Got Receive(std::string_view stream, size_t chunk) {
  FaptFramer f("MLL>MLL=", true);
  Got g{{}, {}, FaptEnd::None, 0};
  while (!f.Ended()) {
    if (g.used >= stream.size()) {
      f.Quiet();
      break;
    }
    const std::string_view run = stream.substr(g.used, chunk);
    const size_t used = f.Feed(run, g.data);
    if (used == 0 || (used < run.size() && !f.Ended())) std::abort();
    g.used += used;
  }
  g.end = f.End();
  if (f.NameFound()) {
    g.name = f.Name();
    // A name is never empty, never long, and holds nothing a path is made of.
    if (g.name.empty() || g.name.size() > zova::fapt::kMaxNameLength) std::abort();
    for (char c : g.name)
      if (!(c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) std::abort();
  }
  return g;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t chunk = 1 + data[0] % 70;
  const std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);

  const Got whole = Receive(in, in.size() + 1);
  if (Receive(in, 1) != whole || Receive(in, chunk) != whole) std::abort();
  if (whole.data.size() > in.size()) std::abort();

  // Round trip: the input as a file, framed and received back.
  const std::string image = zova::FaptBlockImage(in);
  if (image.size() < 2 || image[0] != zova::fapt::kDc2 || image[1] != zova::fapt::kSoh)
    std::abort();
  const Got back = Receive(std::string_view(image).substr(2), chunk);
  std::string want(in);
  const size_t block = zova::fapt::kBlockBytes;
  want.append(want.empty() ? block : (block - want.size() % block) % block, '\0');
  if (back.end != FaptEnd::Complete || back.data != want) std::abort();
  if (back.used != image.size() - 2 - block) std::abort();
  return 0;
}
