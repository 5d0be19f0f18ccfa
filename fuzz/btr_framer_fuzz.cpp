// The BTR framing: any bytes give the same receptions however they are cut
// into runs, and programs punched back to back come back as they were.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "serial/variants/btr_framer.h"

namespace {

using zova::BtrCodes;
using zova::BtrFramer;

struct Got {
  std::string stored;
  bool started, complete;
  bool operator==(const Got&) const = default;
};

std::vector<Got> Receive(const BtrCodes& codes, std::string_view tape, size_t chunk) {
  std::vector<Got> out;
  bool already = false;
  size_t pos = 0;
  for (;;) {
    BtrFramer f(codes, already);
    std::string stored;
    while (!f.Ended()) {
      if (pos >= tape.size()) {
        f.Quiet();
        break;
      }
      const std::string_view run = tape.substr(pos, chunk);
      const size_t used = f.Feed(run, stored);
      if (used == 0 || (used < run.size() && !f.Ended())) std::abort();
      pos += used;
    }
    out.push_back({stored, f.Started(), f.Complete()});
    if (!f.NextFollows()) break;
    already = true;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  BtrCodes codes;
  codes.startKode = "%";
  codes.stoppKode = "%";
  codes.lagreKoder = (data[0] & 1) != 0;
  const size_t chunk = 1 + data[1] % 17;
  const std::string_view in(reinterpret_cast<const char*>(data) + 2, size - 2);

  const std::vector<Got> whole = Receive(codes, in, in.size() + 1);
  if (Receive(codes, in, 1) != whole || Receive(codes, in, chunk) != whole) std::abort();

  // Round trip: the input cut at its "%" into programs (none starting with
  // a line end, which the start sequence would take) and punched back to
  // back, each as "%" CR LF + program + "%" CR LF.
  std::vector<std::string> programs(1);
  for (char ch : in) {
    if (ch == '%')
      programs.emplace_back();
    else
      programs.back() += ch;
  }
  std::string tape;
  std::vector<std::string> sent;
  for (std::string& p : programs) {
    while (!p.empty() && (p[0] == '\r' || p[0] == '\n')) p.erase(0, 1);
    if (p.empty()) continue;
    tape += "%\r\n" + p + "%\r\n";
    sent.push_back(p);
  }
  const std::vector<Got> back = Receive(codes, tape, chunk);
  if (sent.empty()) return 0;
  if (back.size() != sent.size()) std::abort();
  for (size_t i = 0; i < sent.size(); ++i) {
    const std::string want = codes.lagreKoder ? "%" + sent[i] + "%" : sent[i];
    if (back[i].stored != want || !back[i].started || !back[i].complete) std::abort();
  }
  return 0;
}
