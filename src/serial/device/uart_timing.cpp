#include "serial/device/uart_timing.h"

namespace zova {

namespace {

int Ones(unsigned v) {
  int n = 0;
  for (; v; v >>= 1) n += static_cast<int>(v & 1);
  return n;
}

bool ParityBit(unsigned data, Parity p) {
  const bool odd = Ones(data) % 2 == 1;
  return p == Parity::Even ? odd : !odd;
}

// The sender's bits, one per sender bit time, start bit first.
std::vector<bool> Waveform(std::string_view bytes, const UartFormat& tx) {
  std::vector<bool> bits;
  for (char c : bytes) {
    const unsigned data = static_cast<uint8_t>(c) & ((1u << tx.dataBits) - 1);
    bits.push_back(false);
    for (int i = 0; i < tx.dataBits; ++i) bits.push_back((data >> i) & 1);
    if (tx.parity != Parity::None) bits.push_back(ParityBit(data, tx.parity));
    for (int i = 0; i < tx.stopBits; ++i) bits.push_back(true);
  }
  return bits;
}

// Time runs in units of 1 / (2 x TxBaud x RxBaud) seconds, so that a sender
// bit, a receiver bit and half a receiver bit are whole numbers of units.
struct Line {
  const std::vector<bool>& bits;
  int64_t txBit;  // units per sender bit

  int64_t End() const { return static_cast<int64_t>(bits.size()) * txBit; }
  bool LevelAt(int64_t t) const {
    if (t < 0 || t >= End()) return true;
    return bits[static_cast<size_t>(t / txBit)];
  }
  // The first time at or after T where the line falls from high to low; -1
  // when there is none.
  int64_t FallAfter(int64_t t) const {
    if (t < 0) t = 0;
    for (int64_t i = (t + txBit - 1) / txBit; i < static_cast<int64_t>(bits.size()); ++i) {
      const bool before = i == 0 ? true : bits[static_cast<size_t>(i - 1)];
      if (before && !bits[static_cast<size_t>(i)]) return i * txBit;
    }
    return -1;
  }
};

}  // namespace

UartFormat FormatOf(const LineSettings& s) {
  return {s.baud, s.dataBits, s.parity, s.stopBits};
}

std::vector<UartChar> ReceiveAcross(std::string_view bytes, const UartFormat& tx,
                                    const UartFormat& rx) {
  std::vector<UartChar> out;
  if (tx.baud <= 0 || rx.baud <= 0 || tx.dataBits < 5 || tx.dataBits > 8 || rx.dataBits < 5 ||
      rx.dataBits > 8)
    return out;
  const std::vector<bool> bits = Waveform(bytes, tx);
  const Line line{bits, 2 * static_cast<int64_t>(rx.baud)};
  const int64_t rxBit = 2 * static_cast<int64_t>(tx.baud);
  const int64_t half = rxBit / 2;
  int64_t start = line.FallAfter(0);
  while (start >= 0) {
    auto sample = [&](int bit) { return line.LevelAt(start + bit * rxBit + half); };
    if (sample(0)) {  // a glitch, not a start bit
      start = line.FallAfter(start + half + 1);
      continue;
    }
    UartChar c;
    int bit = 1;
    for (int i = 0; i < rx.dataBits; ++i, ++bit)
      if (sample(bit)) c.value = static_cast<uint8_t>(c.value | (1u << i));
    if (rx.parity != Parity::None) c.parityError = sample(bit++) != ParityBit(c.value, rx.parity);
    const int64_t stopAt = start + bit * rxBit + half;
    c.framingError = !line.LevelAt(stopAt);
    out.push_back(c);
    // A low stop bit is taken as the next start bit.
    start = c.framingError ? stopAt - half : line.FallAfter(stopAt);
    if (start >= line.End()) break;
  }
  return out;
}

}  // namespace zova
