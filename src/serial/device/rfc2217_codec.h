#pragma once
// The Telnet COM-PORT-OPTION (RFC 2217): the subnegotiations the station
// sends to set a network serial server's line, and the reports the server
// sends back. Pure: the device does the I/O.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "serial/device/serial_device.h"
#include "serial/device/telnet_codec.h"

namespace zova::rfc2217 {

// Client-to-server commands; the server's answer or report carries the code
// plus kServerOffset.
enum class Command : uint8_t {
  SetBaudRate = 1,
  SetDataSize = 2,
  SetParity = 3,
  SetStopSize = 4,
  SetControl = 5,
  NotifyLineState = 6,
  NotifyModemState = 7,
  FlowControlSuspend = 8,
  FlowControlResume = 9,
  SetLineStateMask = 10,
  SetModemStateMask = 11,
  PurgeData = 12,
};
constexpr uint8_t kServerOffset = 100;

// Values of SET-CONTROL.
enum class Control : uint8_t {
  OutFlowNone = 1,
  OutFlowXonXoff = 2,
  OutFlowHardware = 3,
  BreakOn = 5,
  BreakOff = 6,
  DtrOn = 8,
  DtrOff = 9,
  RtsOn = 11,
  RtsOff = 12,
  InFlowNone = 14,
  InFlowXonXoff = 15,
  InFlowHardware = 16,
};

// Bits of NOTIFY-MODEMSTATE and NOTIFY-LINESTATE.
constexpr uint8_t kModemCd = 0x80, kModemRi = 0x40, kModemDsr = 0x20, kModemCts = 0x10;
constexpr uint8_t kLineBreak = 0x10, kLineFraming = 0x08, kLineParity = 0x04, kLineOverrun = 0x02;

// Each appends one IAC SB COM-PORT-OPTION ... IAC SE, its value escaped.
void AppendSetBaudRate(uint32_t baud, std::vector<uint8_t>& out);
void AppendSetDataSize(int bits, std::vector<uint8_t>& out);
void AppendSetParity(Parity parity, std::vector<uint8_t>& out);
void AppendSetStopSize(int bits, std::vector<uint8_t>& out);
void AppendSetControl(Control value, std::vector<uint8_t>& out);
void AppendSetMask(Command which, uint8_t mask, std::vector<uint8_t>& out);
// Rx: what the server received from the line and has not sent us yet; Tx:
// what we sent that has not gone out on the line.
void AppendPurgeData(bool rx, bool tx, std::vector<uint8_t>& out);

// The whole line: baud, data bits, parity, stop bits, flow control out and
// in. The protocol has one flow mode per direction: XON/XOFF wins over
// RTS/CTS when both are set, since a control that sends XOFF expects it to
// hold the output whatever the wiring. DTR/DSR flow stays with the driver
// (it reads DSR from the modem reports) and the XON/XOFF characters cannot
// be changed (the server uses DC1/DC3).
void AppendLineSettings(const LineSettings& s, std::vector<uint8_t>& out);

// A server's answer or report: the command it answers and its value (the
// baud rate for SET-BAUDRATE, the one value byte otherwise).
struct Report {
  Command command;
  uint32_t value = 0;
  bool operator==(const Report&) const = default;
};
// Nullopt for another option's subnegotiation, a client code, or a value of
// the wrong length.
std::optional<Report> ParseReport(const telnet::Event& e);

ModemStatus ModemStatusFrom(uint8_t state);
// Adds the errors one NOTIFY-LINESTATE reports.
void CountLineState(uint8_t state, LineErrorCounts& counts);

}  // namespace zova::rfc2217
