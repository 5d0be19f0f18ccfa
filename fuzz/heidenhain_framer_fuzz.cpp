// The Heidenhain block protocol: any received bytes are decided into the
// same blocks however they arrive, every line the station frames comes back
// as it was (less the trailing blanks the protocol does not keep) with a
// check that is no control character, and commands, headers, extensions and
// plain-text lines take any bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "protocols/heidenhain/heidenhain_framer.h"
#include "protocols/heidenhain/linje_framer.h"

namespace {

using namespace zova::heidenhain;

struct Decided {
  BlockReader::Outcome outcome;
  std::string text;
  bool operator==(const Decided&) const = default;
};

// Every block of Bytes, fed in runs of Step; the end of the bytes is a quiet
// line.
std::vector<Decided> Blocks(std::string_view bytes, size_t step) {
  std::vector<Decided> out;
  BlockReader r;
  size_t at = 0;
  while (at < bytes.size()) {
    r.Start();
    while (!r.Decided() && at < bytes.size()) {
      const size_t n = r.Feed(bytes.substr(at, step));
      at += n;
      if (n == 0 && !r.Decided()) std::abort();  // an open block takes what it is given
    }
    if (!r.Decided()) r.Quiet();
    out.push_back({r.Result(), r.Text()});
  }
  return out;
}

std::vector<std::string> Lines(std::string_view bytes) {
  std::vector<std::string> lines(1);
  for (char c : bytes) {
    if (c == '\n')
      lines.emplace_back();
    else
      lines.back() += c;
  }
  return lines;
}

void RoundTrip(std::string_view bytes, bool linjeSjekk) {
  const std::vector<std::string> lines = Lines(bytes);
  std::string wire;
  for (const std::string& l : lines) {
    const std::string block = EncodeBlock(l, linjeSjekk);
    if (static_cast<uint8_t>(block.back()) < 32) std::abort();
    wire += block;
  }
  if (!linjeSjekk) return;  // raw control bytes in a line frame it anew
  const std::vector<Decided> back = Blocks(wire, wire.size() + 1);
  if (back.size() != lines.size()) std::abort();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (back[i].outcome != BlockReader::Outcome::Accepted) std::abort();
    const std::string sent = CleanLine(lines[i]);
    const std::string got(StripOneTrailingBlank(std::string_view(back[i].text).substr(1)));
    // Only trailing blanks may go: one the receiver strips, one the sender
    // gave up for the check.
    if (sent.compare(0, got.size(), got) != 0 || sent.size() - got.size() > 2) std::abort();
    if (sent.find_first_not_of(' ', got.size()) != std::string::npos) std::abort();
    if ((sent.empty() || sent.back() != ' ') && got != sent) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const size_t step = size > 0 ? 1 + data[0] % 7 : 1;
  const std::vector<Decided> whole = Blocks(in, in.size() + 1);
  if (Blocks(in, 1) != whole || Blocks(in, step) != whole) std::abort();
  for (const Decided& d : whole)
    if (d.outcome == BlockReader::Outcome::Accepted && d.text.size() > BlockReader::kMaxText + 1)
      std::abort();

  RoundTrip(in, true);
  RoundTrip(in, false);

  CommandReader commands;
  for (char ch : in) {
    const CommandReader::Outcome o = commands.Feed(ch);
    if (o == CommandReader::Outcome::Command) {
      const Command c = ParseCommand(commands.Text());
      if (c.letter != 'D' && c.letter != 'N' && c.letter != 'F' && c.letter != 'P') std::abort();
      commands = CommandReader();
    } else if (o != CommandReader::Outcome::Open) {
      commands = CommandReader();
    }
  }

  const Header h = ParseHeader(in);
  if (!h.name.empty() && (h.name.front() == ' ' || h.name.back() == ' ')) std::abort();
  if (size > 0) {
    const std::string_view ext = in.substr(1, 5);
    const std::string e = ExtForType(static_cast<char>(data[0]), 'H', ext);
    // The type letter never brings a separator into a file name.
    if (e.find_first_of("/\\") != std::string::npos && ext.find_first_of("/\\") == std::string::npos)
      std::abort();
  }

  zova::LinjeFramer lines({"%", "%", "", ""}, "");
  for (char ch : in)
    if (lines.Feed(ch) == zova::LinjeFramer::Take::GiveBack || lines.Ended()) break;
  lines.Quiet();
  for (const std::string& l : lines.Ready())
    if (l.empty() || l.size() > zova::LinjeFramer::kMaxLine ||
        l.find_first_of("\r\n") != std::string::npos)
      std::abort();
  return 0;
}
