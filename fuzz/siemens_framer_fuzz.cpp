// The Siemens framing: any bytes give the same reception however they are
// cut into runs, the head is always the end of what was stored, and an
// archive punched behind feed holes comes back whole.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "serial/variants/siemens_framer.h"

namespace {

using zova::SiemensFramer;

struct Got {
  std::string stored, head;
  size_t used = 0;
  bool started = false, headStarted = false, complete = false;
  bool operator==(const Got&) const = default;
};

Got Frame(std::string_view stoppTegn, std::string_view stream, size_t chunk) {
  SiemensFramer f(stoppTegn);
  Got out;
  while (!f.Ended() && out.used < stream.size()) {
    const std::string_view run = stream.substr(out.used, chunk);
    const size_t used = f.Feed(run, out.stored, out.head);
    if (used == 0 || (used < run.size() && !f.Ended())) std::abort();
    out.used += used;
  }
  f.Quiet();
  out.started = f.Started();
  out.headStarted = f.HeadStarted();
  out.complete = f.Complete();
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::string_view stoppTegn = (data[0] & 1) != 0 ? "\x04" : "";
  const size_t chunk = 1 + data[1] % 17;
  const std::string_view in(reinterpret_cast<const char*>(data) + 2, size - 2);

  const Got whole = Frame(stoppTegn, in, in.size() + 1);
  if (Frame(stoppTegn, in, 1) != whole || Frame(stoppTegn, in, chunk) != whole) std::abort();
  if (!stoppTegn.empty() && whole.stored.find(stoppTegn[0]) != std::string::npos) std::abort();
  if (whole.headStarted != !whole.head.empty()) std::abort();
  if (whole.stored.size() < whole.head.size() ||
      whole.stored.compare(whole.stored.size() - whole.head.size(), std::string::npos,
                           whole.head) != 0)
    std::abort();

  // Round trip: the input as the body of an archive (without the end
  // character), behind feed holes and followed by the end and whatever the
  // line brings after it.
  std::string archive = "%_";
  for (char ch : in)
    if (ch != '\x04') archive += ch;
  const size_t leader = data[0] >> 4;
  const std::string tape = std::string(leader, '\0') + archive + "\x04" + std::string(in);
  const Got back = Frame("\x04", tape, chunk);
  if (back.stored != archive || back.head != archive || !back.complete ||
      back.used != leader + archive.size() + 1)
    std::abort();
  return 0;
}
