#include "controls/uart_control.h"

#include <chrono>
#include <fstream>
#include <sstream>

namespace zova::sim {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

bool ParseUartFormat(const std::string& text, UartCharFormat& f) {
  if (text.size() != 3) return false;
  f.dataBits = text[0] - '0';
  f.parity = text[1];
  f.stopBits = text[2] - '0';
  return f.dataBits >= 5 && f.dataBits <= 8 &&
         (f.parity == 'N' || f.parity == 'E' || f.parity == 'O') &&
         (f.stopBits == 1 || f.stopBits == 2);
}

uint8_t OnTheWire(uint8_t b, const UartCharFormat& f) {
  const unsigned data = b & ((1u << f.dataBits) - 1);
  int ones = 0;
  for (unsigned v = data; v; v >>= 1) ones += static_cast<int>(v & 1);
  unsigned wire = data;
  int bit = f.dataBits;
  if (f.parity != 'N') {
    const bool parityBit = f.parity == 'E' ? ones % 2 == 1 : ones % 2 == 0;
    if (parityBit) wire |= 1u << bit;
    ++bit;
  }
  // What follows is the stop bit, a one, as far as the eighth bit reaches.
  for (; bit < 8; ++bit) wire |= 1u << bit;
  return static_cast<uint8_t>(wire);
}

UartControl::UartControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand(
      {"stream", {1, {"--format", "--rate", "--for"}, {}}, true, Bind(&UartControl::Stream)});
}

bool UartControl::Stream(const SimCommand& cmd, std::string& error) {
  UartCharFormat f;
  if (!ParseUartFormat(cmd.Opt("--format", "8N1"), f)) {
    error = "stream: --format is like 7E1 (data bits 5..8, N/E/O, stop bits 1 or 2)";
    return false;
  }
  bool ok = true;
  const long rate = cmd.Num("--rate", Options().baud, ok);
  const long forMs = cmd.Num("--for", 10000, ok);
  std::ifstream in(cmd.args[0], std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!ok || !in || text.str().empty()) {
    error = "stream: cannot read " + cmd.args[0] + " or a number is wrong";
    return false;
  }
  std::string wire;
  for (char c : text.str()) wire += static_cast<char>(OnTheWire(static_cast<uint8_t>(c), f));
  Line().SetPace(static_cast<int>(rate), f.Bits());
  const auto end = Clock::now() + std::chrono::milliseconds(forMs);
  while (Clock::now() < end) {
    if (!WriteBytes(wire)) {
      error = "stream: the line was dropped";
      return false;
    }
  }
  return true;
}

}  // namespace zova::sim
