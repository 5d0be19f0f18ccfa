#pragma once
// A line that carries telegrams with block check characters is a byte
// channel: a check byte can be any value, 0x00, XON (0x11) and XOFF (0x13)
// included. Whatever a port section says about text lines (software flow
// control, NUL removal, end-of-block strings, buffered output, keep-alive
// XONs, tape codes) must not swallow, add or change such a byte.

#include "serial/device/serial_device.h"
#include "serial/line/port_settings.h"

namespace zova {

// The line code a telegram line uses instead of Code. A code's parity bit
// is kept (an 8-bit port with ISO even parity is how a 7E1 control is
// served, and the parity of an exclusive OR is the exclusive OR of the
// parities, so a block check still matches); every other change of a byte
// is dropped: the EIA tape code, SOFTISO's DC3 without parity, ISO's "?"
// for a byte of odd parity.
int TelegramLineCode(int code);

// Settings and kernel settings (Kernel: what the device gets) of a
// telegram line: no end-of-block string, no XON start, no block-wise flow,
// no software flow control either way, no NUL removal, no buffered output,
// no keep-alive XON, no TV padding, and the code of TelegramLineCode. Speed,
// framing, parity and hardware flow stay as the section says.
void MakeTelegramLine(PortSettings& settings, LineSettings& kernel);

}  // namespace zova
