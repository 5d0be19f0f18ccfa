// The NUM blocks on any bytes: a program's lines cut into blocks, framed,
// parsed and received come back as they were; any line fed to the
// reception or parsed as a block is decided without harm, and a block that
// parses is exactly the frame of its content.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "protocols/num/num_framer.h"

namespace {

using namespace zova::num;

std::vector<std::string> SplitLines(std::string_view in) {
  std::vector<std::string> lines;
  std::string l;
  for (char ch : in) {
    if (ch == '\n') {
      lines.push_back(l);
      l.clear();
    } else if (ch != '\r' && ch != kGs) {
      l += ch;
    }
  }
  lines.push_back(l);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  if (auto content = ParseNumBlock(in))
    if (FrameBlock(*content) != in) std::abort();
  NumReceiver any;
  for (const std::string& l : SplitLines(in)) any.Feed(l);
  ParseChoice(Variant::Num, in);
  ParseChoice(Variant::NumNJ, in);

  // Round trip: lines to blocks, through the reception and back.
  std::vector<std::string> lines = SplitLines(in);
  // A blank last line sends no block of its own.
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  NumBlocker blocker;
  size_t at = 0;
  auto next = [&](std::string& l) {
    if (at == lines.size()) return false;
    l = lines[at++];
    return true;
  };
  NumReceiver receiver;
  std::string received;
  int counter = 0;
  while (auto content = blocker.NextBlock(next)) {
    if (content->size() >= kMaxContent && content->find(kGs) != std::string::npos) std::abort();
    const ReceiveStep s = receiver.Feed(FrameBlock(*content));
    if (s.kind != ReceiveStep::Kind::Store) {
      // Only a content of "." is the end block.
      if (*content != "." || s.kind != ReceiveStep::Kind::End) std::abort();
      return 0;
    }
    counter ^= 1;
    if (s.reply != AckLine(counter)) std::abort();
    received += s.text + "\r\n";
  }
  std::string sent;
  for (const std::string& l : lines) sent += l + "\r\n";
  if (received != sent) std::abort();
  if (receiver.Feed(EndBlock()).kind != ReceiveStep::Kind::End) std::abort();
  return 0;
}
