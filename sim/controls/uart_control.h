#pragma once
// A control whose serial settings nobody wrote down: it sends a program over
// and over at its own baud rate and character format, for the station's
// baud-rate detection to find. A pseudo-terminal carries bytes, not bit
// timing, so there the format shows only as a receiver at the same rate
// with 8 data bits and no parity hears it: a 7-bit format's parity bit
// arrives as the eighth bit. It keeps the standard control's commands.

#include "controls/standard_control.h"

namespace zova::sim {

class UartControl : public StandardControl {
 public:
  UartControl(SimLine& line, const SimOptions& options);

 private:
  // stream FILE [--format 7E1] [--rate BAUD] [--for MS]: sends FILE again
  // and again for MS (10000), paced at BAUD (--baud of cncsim when not
  // given) with the format's bits per character.
  bool Stream(const SimCommand& cmd, std::string& error);
};

// "7E1", "8N2", ...: data bits 5..8, parity N, E or O, stop bits 1 or 2.
struct UartCharFormat {
  int dataBits = 8;
  char parity = 'N';
  int stopBits = 1;
  int Bits() const { return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits; }
};
bool ParseUartFormat(const std::string& text, UartCharFormat& f);
// The byte an 8-bit, no-parity receiver at the same rate takes for B.
uint8_t OnTheWire(uint8_t b, const UartCharFormat& f);

}  // namespace zova::sim
