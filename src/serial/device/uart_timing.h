#pragma once
// What a UART receives from one that sends in another format: the sender's
// characters become a waveform in its own bit time, and the receiver samples
// that waveform in the middle of its own bits, starting at each falling edge.
// A receiver that finds the line low where its stop bit should be reports a
// framing error and takes that low as the next start bit, as 16550-type
// UARTs do. The line is idle (high) before and after the bytes.

#include <cstdint>
#include <string_view>
#include <vector>

#include "serial/device/serial_device.h"

namespace zova {

struct UartFormat {
  int baud = 9600;
  int dataBits = 8;
  Parity parity = Parity::None;
  int stopBits = 1;
  bool operator==(const UartFormat&) const = default;
};

UartFormat FormatOf(const LineSettings& s);

struct UartChar {
  uint8_t value = 0;
  bool framingError = false;
  bool parityError = false;
  bool operator==(const UartChar&) const = default;
};

// The characters a receiver in format Rx takes from Bytes sent back to back
// in format Tx. Equal formats give the bytes themselves (data bits beyond
// the format's count are not sent).
std::vector<UartChar> ReceiveAcross(std::string_view bytes, const UartFormat& tx,
                                    const UartFormat& rx);

}  // namespace zova
