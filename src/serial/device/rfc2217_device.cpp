#include "serial/device/rfc2217_device.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/latin1.h"

namespace zova {

namespace {

// Control bytes are a few dozen; when they do not fit in this time the
// server is not reading, and they wait in front of the next write.
constexpr int kControlTimeoutMs = 200;
// Data taken while looking for reports, kept for ReadSome; beyond this the
// rest waits in the socket.
constexpr size_t kMaxPending = 64 * 1024;

constexpr uint8_t kLineMask =
    rfc2217::kLineBreak | rfc2217::kLineFraming | rfc2217::kLineParity | rfc2217::kLineOverrun;
constexpr uint8_t kModemMask =
    rfc2217::kModemCd | rfc2217::kModemRi | rfc2217::kModemDsr | rfc2217::kModemCts;

int LeftMs(std::chrono::steady_clock::time_point deadline) {
  using namespace std::chrono;
  auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

bool ParseRfc2217Address(std::string_view text, std::string& host, uint16_t& port) {
  if (text.size() < 8 || UpperCase(text.substr(0, 8)) != "RFC2217:") return false;
  return ParseHostPort(text.substr(8), host, port);
}

std::unique_ptr<Rfc2217Device> Rfc2217Device::Open(std::string_view address, int& err) {
  std::string host;
  uint16_t port = 0;
  if (!ParseRfc2217Address(address, host, port)) {
    err = EINVAL;
    return nullptr;
  }
  std::unique_ptr<Rfc2217Device> dev(new Rfc2217Device(std::string(address), host, port));
  err = dev->link_.Connect(TcpLink::kOpenTimeoutMs);
  if (err) return nullptr;
  IoResult r;
  if (!dev->EnsureSession(TcpLink::kOpenTimeoutMs, r)) {
    err = r.err ? r.err : ECONNRESET;
    return nullptr;
  }
  return dev;
}

bool Rfc2217Device::EnsureSession(int timeoutMs, IoResult& r) {
  if (!link_.EnsureConnected(timeoutMs, r)) return false;
  if (session_ == link_.Connections()) return true;
  session_ = link_.Connections();
  decoder_ = telnet::Decoder{};
  owed_.clear();
  control_.clear();
  modem_.reset();
  options_.Offer(control_);
  rfc2217::AppendSetMask(rfc2217::Command::SetLineStateMask, kLineMask, control_);
  rfc2217::AppendSetMask(rfc2217::Command::SetModemStateMask, kModemMask, control_);
  if (settings_) rfc2217::AppendLineSettings(*settings_, control_);
  using rfc2217::Control;
  if (dtr_) rfc2217::AppendSetControl(*dtr_ ? Control::DtrOn : Control::DtrOff, control_);
  if (rts_) rfc2217::AppendSetControl(*rts_ ? Control::RtsOn : Control::RtsOff, control_);
  IoResult s = SendControl(std::max(timeoutMs, kControlTimeoutMs));
  if (s.Ok()) return true;
  r = s;
  r.count = 0;
  return false;
}

IoResult Rfc2217Device::SendControl(int timeoutMs) {
  owed_.insert(owed_.end(), control_.begin(), control_.end());
  control_.clear();
  if (owed_.empty() || !link_.Connected()) return {};
  IoResult r = link_.Send(owed_.data(), owed_.size(), timeoutMs);
  owed_.erase(owed_.begin(), owed_.begin() + static_cast<ptrdiff_t>(r.count));
  return r;
}

size_t Rfc2217Device::Take(uint8_t* buf, size_t n) {
  events_.clear();
  size_t data = decoder_.Decode(buf, n, buf, events_);
  for (const telnet::Event& e : events_) {
    options_.Answer(e, control_);
    if (auto report = rfc2217::ParseReport(e)) TakeReport(*report);
  }
  if (options_.LocalRefused(telnet::kOptComPort))
    LogUnavailableOnce(kFeatureSettings, "linjeinnstilling (serieserveren avslo RFC 2217)");
  if (!control_.empty()) SendControl(kControlTimeoutMs);
  return data;
}

void Rfc2217Device::TakeReport(const rfc2217::Report& report) {
  using rfc2217::Command;
  switch (report.command) {
    case Command::SetBaudRate:
      reportedBaud_ = report.value;
      break;
    case Command::NotifyModemState:
      modem_ = rfc2217::ModemStatusFrom(static_cast<uint8_t>(report.value));
      break;
    case Command::SetLineStateMask:
      // Some servers answer with mask 0: they will not report line errors.
      if (report.value != 0 && !errors_) errors_ = LineErrorCounts{};
      break;
    case Command::NotifyLineState:
      if (!errors_) errors_ = LineErrorCounts{};
      rfc2217::CountLineState(static_cast<uint8_t>(report.value), *errors_);
      break;
    default:
      break;
  }
}

IoResult Rfc2217Device::ReadSome(uint8_t* buf, size_t max, int timeoutMs) {
  IoResult r;
  if (pendingBegin_ < pending_.size()) {
    r.count = std::min(max, pending_.size() - pendingBegin_);
    std::memcpy(buf, pending_.data() + pendingBegin_, r.count);
    pendingBegin_ += r.count;
    if (pendingBegin_ == pending_.size()) {
      pending_.clear();
      pendingBegin_ = 0;
    }
    return r;
  }
  auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (;;) {
    r = IoResult{};
    if (!EnsureSession(timeoutMs, r)) return r;
    r = link_.Receive(buf, max, LeftMs(deadline), wakeFd_);
    if (r.count == 0) return r;
    // Negotiations and reports alone are no data: wait on for the rest of
    // the time.
    r.count = Take(buf, r.count);
    if (r.count > 0) return r;
    if (LeftMs(deadline) == 0) {
      r.timedOut = true;
      return r;
    }
  }
}

IoResult Rfc2217Device::Write(const uint8_t* data, size_t len, int timeoutMs) {
  IoResult r;
  if (!EnsureSession(timeoutMs, r)) return r;
  // A write is often one byte: the clock is read only when owed bytes take
  // part of the time.
  if (!owed_.empty()) {
    auto start = std::chrono::steady_clock::now();
    r = SendControl(timeoutMs);
    if (!owed_.empty() || !r.Ok()) {
      r.count = 0;
      return r;
    }
    timeoutMs = LeftMs(start + std::chrono::milliseconds(std::max(timeoutMs, 0)));
  }
  // Without 0xFF the data is its own Telnet form and goes out uncopied.
  if (len == 0 || !std::memchr(data, telnet::kIac, len)) return link_.Send(data, len, timeoutMs);
  escaped_.clear();
  telnet::AppendEscaped(data, len, escaped_);
  r = link_.Send(escaped_.data(), escaped_.size(), timeoutMs);
  bool splitIac = false;
  r.count = telnet::DataBytesSent(data, len, r.count, splitIac);
  if (splitIac && link_.Connected()) owed_.push_back(telnet::kIac);
  return r;
}

bool Rfc2217Device::Configure(const LineSettings& settings, int& err) {
  settings_ = settings;
  stripNul_ = settings.stripNul;
  if ((settings.xonChar & 0x7F) != 17 || (settings.xoffChar & 0x7F) != 19)
    LogUnavailableOnce(kFeatureSettings, "egne XON/XOFF-tegn over RFC 2217");
  if (InSession()) {
    rfc2217::AppendLineSettings(settings, control_);
    SendControl(kControlTimeoutMs);
  }
  err = 0;
  return true;
}

bool Rfc2217Device::SetDtr(bool on) {
  dtr_ = on;
  if (!InSession()) return true;
  rfc2217::AppendSetControl(on ? rfc2217::Control::DtrOn : rfc2217::Control::DtrOff, control_);
  SendControl(kControlTimeoutMs);
  return true;
}

bool Rfc2217Device::SetRts(bool on) {
  rts_ = on;
  if (!InSession()) return true;
  rfc2217::AppendSetControl(on ? rfc2217::Control::RtsOn : rfc2217::Control::RtsOff, control_);
  SendControl(kControlTimeoutMs);
  return true;
}

bool Rfc2217Device::SetBreak(bool on) {
  if (!InSession()) return false;
  rfc2217::AppendSetControl(on ? rfc2217::Control::BreakOn : rfc2217::Control::BreakOff, control_);
  return SendControl(kControlTimeoutMs).Ok();
}

bool Rfc2217Device::PurgeDevice(bool rx, bool tx) {
  if (InSession()) {
    rfc2217::AppendPurgeData(rx, tx, control_);
    SendControl(kControlTimeoutMs);
  }
  if (!rx) return true;
  pending_.clear();
  pendingBegin_ = 0;
  uint8_t scratch[1024];
  while (size_t n = link_.ReceiveNow(scratch, sizeof scratch)) Take(scratch, n);
  return true;
}

void Rfc2217Device::Pump() {
  if (!InSession()) return;
  uint8_t scratch[1024];
  while (pending_.size() - pendingBegin_ < kMaxPending) {
    size_t n = link_.ReceiveNow(scratch, sizeof scratch);
    if (n == 0) break;
    n = Take(scratch, n);
    pending_.insert(pending_.end(), scratch, scratch + n);
  }
}

std::optional<ModemStatus> Rfc2217Device::GetModemStatus() {
  Pump();
  if (!modem_) LogUnavailableOnce(kFeatureModem, "modemstatus (ikke meldt av serieserveren)");
  return modem_;
}

std::optional<LineErrorCounts> Rfc2217Device::GetLineErrors() {
  Pump();
  if (!errors_) LogUnavailableOnce(kFeatureErrors, "feiltellere (ikke meldt av serieserveren)");
  return errors_;
}

}  // namespace zova
