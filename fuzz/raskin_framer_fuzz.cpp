// The Raskin line dialogue: any received bytes are cut into lines the same
// way however they arrive, lines the control sends come back as they were,
// and the name rules take any text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "protocols/raskin/raskin_framer.h"

namespace {

using zova::raskin::LineCollector;
using zova::raskin::LineEnd;

// The lines (and how each ended) that Bytes make.
std::vector<std::string> Lines(std::string_view bytes, bool& eot) {
  std::vector<std::string> lines;
  LineCollector c;
  eot = false;
  for (char ch : bytes) {
    const LineEnd end = c.Feed(ch);
    if (end == LineEnd::Open) continue;
    if (!c.Ok()) std::abort();  // a line the control ended is a line, empty or not
    lines.push_back(c.Line());
    if (c.Eot()) {
      eot = true;
      break;
    }
    c.Reset();
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  bool eot = false;
  const std::vector<std::string> lines = Lines(in, eot);
  for (const std::string& l : lines)
    if (l.find('\r') != std::string::npos || l.find('\x04') != std::string::npos) std::abort();

  // Round trip: the lines as a control sends them, CR after each, EOT last.
  std::string sent;
  for (const std::string& l : lines) sent += l + "\r";
  sent += '\x04';
  bool eot2 = false;
  std::vector<std::string> back = Lines(sent, eot2);
  if (!eot2 || back.size() != lines.size() + 1 || !back.back().empty()) std::abort();
  back.pop_back();
  if (back != lines) std::abort();

  const std::string request = zova::raskin::FetchRequest(in);
  if (request.empty() || request.back() != '\r') std::abort();
  const std::string name = zova::raskin::NameFromFirstLine(in, ".NC");
  if (!name.empty() && name.size() < 4) std::abort();
  return 0;
}
