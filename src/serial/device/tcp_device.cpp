#include "serial/device/tcp_device.h"

#include <cerrno>

#include "core/latin1.h"

namespace zova {

namespace {}  // namespace

bool ParseTcpAddress(std::string_view text, std::string& host, uint16_t& port) {
  if (text.size() < 4 || UpperCase(text.substr(0, 4)) != "TCP:") return false;
  return ParseHostPort(text.substr(4), host, port);
}

std::unique_ptr<TcpDevice> TcpDevice::Open(std::string_view address, int& err) {
  std::string host;
  uint16_t port = 0;
  if (!ParseTcpAddress(address, host, port)) {
    err = EINVAL;
    return nullptr;
  }
  std::unique_ptr<TcpDevice> dev(new TcpDevice(std::string(address), host, port));
  err = dev->link_.Connect(TcpLink::kOpenTimeoutMs);
  if (err) return nullptr;
  return dev;
}

bool TcpDevice::Configure(const LineSettings& settings, int& err) {
  stripNul_ = settings.stripNul;
  LogUnavailableOnce(kFeatureSettings, "linjeinnstilling over TCP (settes i serieserveren)");
  err = 0;
  return true;
}

IoResult TcpDevice::ReadSome(uint8_t* buf, size_t max, int timeoutMs) {
  IoResult r;
  if (!link_.EnsureConnected(timeoutMs, r)) return r;
  return link_.Receive(buf, max, timeoutMs, wakeFd_);
}

IoResult TcpDevice::Write(const uint8_t* data, size_t len, int timeoutMs) {
  IoResult r;
  if (!link_.EnsureConnected(timeoutMs, r)) return r;
  return link_.Send(data, len, timeoutMs);
}

bool TcpDevice::PurgeDevice(bool rx, bool) {
  if (!rx) return true;
  uint8_t scratch[1024];
  while (link_.ReceiveNow(scratch, sizeof scratch) > 0) {
  }
  return true;
}
std::optional<ModemStatus> TcpDevice::GetModemStatus() {
  LogUnavailableOnce(kFeatureModem, "modemstatus over TCP");
  return std::nullopt;
}

bool TcpDevice::SetDtr(bool) {
  LogUnavailableOnce(kFeatureDtrRts, "DTR/RTS-styring over TCP");
  return false;
}

bool TcpDevice::SetRts(bool) {
  LogUnavailableOnce(kFeatureDtrRts, "DTR/RTS-styring over TCP");
  return false;
}

bool TcpDevice::SetBreak(bool) {
  LogUnavailableOnce(kFeatureBreak, "break over TCP");
  return false;
}

std::optional<LineErrorCounts> TcpDevice::GetLineErrors() {
  LogUnavailableOnce(kFeatureErrors, "feiltellere over TCP");
  return std::nullopt;
}

}  // namespace zova
