// The loopback's UART timing and the kernel's error marks: any bytes in any
// two formats are heard without a crash and within bounds, equal formats
// carry the data bits, and what is heard, marked as the kernel marks it,
// comes back whole through MarkedInput.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "serial/baud/marked_input.h"
#include "serial/device/uart_timing.h"

namespace {

using zova::MarkedChar;
using zova::MarkedInput;
using zova::Parity;
using zova::UartChar;
using zova::UartFormat;

UartFormat FormatFrom(uint8_t b) {
  static const int kRates[] = {150, 300, 1200, 2400, 9600, 19200, 38400, 115200};
  UartFormat f;
  f.baud = kRates[b & 7];
  f.dataBits = 5 + ((b >> 3) & 3);
  f.parity = static_cast<Parity>(((b >> 5) & 3) % 3);
  f.stopBits = 1 + ((b >> 7) & 1);
  return f;
}

std::string Marked(const std::vector<UartChar>& heard) {
  std::string s;
  for (const UartChar& c : heard) {
    if (c.framingError || c.parityError) s += std::string("\xFF\x00", 2);
    s += static_cast<char>(c.value);
    if (!(c.framingError || c.parityError) && c.value == 0xFF) s += '\xFF';
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const UartFormat tx = FormatFrom(data[0]), rx = FormatFrom(data[1]);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::vector<UartChar> heard = zova::ReceiveAcross(bytes, tx, rx);
  // A receiver hears at most one character for each of its character times
  // the sender's bits take, and one more.
  const double txBits = static_cast<double>(bytes.size()) * (2 + tx.dataBits + 1 + tx.stopBits);
  const double rxChars = txBits * rx.baud / tx.baud / (1 + rx.dataBits) + 1;
  if (static_cast<double>(heard.size()) > rxChars) std::abort();
  if (tx == rx) {
    if (heard.size() != bytes.size()) std::abort();
    for (size_t i = 0; i < heard.size(); ++i)
      if (heard[i].framingError || heard[i].parityError ||
          heard[i].value != (static_cast<uint8_t>(bytes[i]) & ((1u << tx.dataBits) - 1)))
        std::abort();
  }
  MarkedInput input;
  std::vector<UartChar> back;
  for (char b : Marked(heard)) {
    MarkedChar c;
    if (input.Feed(static_cast<uint8_t>(b), c)) back.push_back({c.value, c.faulty, false});
  }
  if (input.Pending() || back.size() != heard.size()) std::abort();
  for (size_t i = 0; i < back.size(); ++i)
    if (back[i].value != heard[i].value ||
        back[i].framingError != (heard[i].framingError || heard[i].parityError))
      std::abort();
  return 0;
}
