#include "serial/device/rfc2217_codec.h"

namespace zova::rfc2217 {

namespace {

using telnet::kIac;

void AppendCommand(Command c, const uint8_t* value, size_t n, std::vector<uint8_t>& out) {
  out.insert(out.end(), {kIac, telnet::kSb, telnet::kOptComPort, static_cast<uint8_t>(c)});
  telnet::AppendEscaped(value, n, out);
  out.insert(out.end(), {kIac, telnet::kSe});
}

void AppendByte(Command c, uint8_t value, std::vector<uint8_t>& out) {
  AppendCommand(c, &value, 1, out);
}

}  // namespace

void AppendSetBaudRate(uint32_t baud, std::vector<uint8_t>& out) {
  const uint8_t be[4] = {static_cast<uint8_t>(baud >> 24), static_cast<uint8_t>(baud >> 16),
                         static_cast<uint8_t>(baud >> 8), static_cast<uint8_t>(baud)};
  AppendCommand(Command::SetBaudRate, be, sizeof be, out);
}

void AppendSetDataSize(int bits, std::vector<uint8_t>& out) {
  AppendByte(Command::SetDataSize, static_cast<uint8_t>(bits), out);
}

void AppendSetParity(Parity parity, std::vector<uint8_t>& out) {
  uint8_t v = parity == Parity::Odd ? 2 : parity == Parity::Even ? 3 : 1;
  AppendByte(Command::SetParity, v, out);
}

void AppendSetStopSize(int bits, std::vector<uint8_t>& out) {
  AppendByte(Command::SetStopSize, static_cast<uint8_t>(bits == 2 ? 2 : 1), out);
}

void AppendSetControl(Control value, std::vector<uint8_t>& out) {
  AppendByte(Command::SetControl, static_cast<uint8_t>(value), out);
}

void AppendSetMask(Command which, uint8_t mask, std::vector<uint8_t>& out) {
  AppendByte(which, mask, out);
}

void AppendPurgeData(bool rx, bool tx, std::vector<uint8_t>& out) {
  AppendByte(Command::PurgeData, static_cast<uint8_t>((rx ? 1 : 0) | (tx ? 2 : 0)), out);
}

void AppendLineSettings(const LineSettings& s, std::vector<uint8_t>& out) {
  AppendSetBaudRate(static_cast<uint32_t>(s.baud), out);
  AppendSetDataSize(s.dataBits, out);
  AppendSetParity(s.parity, out);
  AppendSetStopSize(s.stopBits, out);
  AppendSetControl(s.xonXoffOut ? Control::OutFlowXonXoff
                   : s.rtsCts   ? Control::OutFlowHardware
                                : Control::OutFlowNone,
                   out);
  AppendSetControl(s.xonXoffIn ? Control::InFlowXonXoff
                   : s.rtsCts  ? Control::InFlowHardware
                               : Control::InFlowNone,
                   out);
}

std::optional<Report> ParseReport(const telnet::Event& e) {
  if (e.kind != telnet::Event::Kind::Subnegotiation || e.option != telnet::kOptComPort ||
      e.payload.empty())
    return std::nullopt;
  uint8_t code = e.payload[0];
  if (code < kServerOffset + static_cast<uint8_t>(Command::SetBaudRate) ||
      code > kServerOffset + static_cast<uint8_t>(Command::PurgeData))
    return std::nullopt;
  Report r{static_cast<Command>(code - kServerOffset)};
  size_t want = 1;
  if (r.command == Command::SetBaudRate) want = 4;
  if (r.command == Command::FlowControlSuspend || r.command == Command::FlowControlResume) want = 0;
  if (e.payload.size() != 1 + want) return std::nullopt;
  for (size_t i = 1; i < e.payload.size(); ++i) r.value = (r.value << 8) | e.payload[i];
  return r;
}

ModemStatus ModemStatusFrom(uint8_t state) {
  ModemStatus m;
  m.cts = state & kModemCts;
  m.dsr = state & kModemDsr;
  m.ring = state & kModemRi;
  m.dcd = state & kModemCd;
  return m;
}

void CountLineState(uint8_t state, LineErrorCounts& counts) {
  if (state & kLineBreak) ++counts.brk;
  if (state & kLineFraming) ++counts.frame;
  if (state & kLineParity) ++counts.parity;
  if (state & kLineOverrun) ++counts.overrun;
}

}  // namespace zova::rfc2217
