// Opening, closing and reading a line.

#include "serial/line/tcom.h"

#include <algorithm>

#include <cerrno>
#include <cstdio>

#include "core/latin1.h"
#include "core/uihost.h"
#include "serial/device/open_device.h"
#include "serial/line/line_checks.h"
#include "serial/line/ping.h"

namespace zova {

TCom::TCom(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TFile(links, sharedRequest, machineNo) {}

void TCom::OpenPort(const std::string& portName, std::string_view extraValidChars, bool& ok,
                    bool xonStartDefault, TComPort& rec) {
  ok = false;
  ReadComPortSettings(portName, extraValidChars, xonStartDefault, rec);
  int err = 0;
  rec.Handle = OpenDeviceByName(DeviceForPort(portName, rec.Enhet), err);
  if (rec.Handle) rec.Handle->SetWakeFd(OrderWakeFd());
  if (!rec.Handle) {
    // The driver reports it (ReportOpenFailure); the reason goes to the log.
    LogMarker(true, Trim(portName) + ": " + DeviceErrorText(err));
    return;
  }
  if (!rec.Handle->Configure(rec.Dcb, err)) {
    ShowNotice("SetCommState", L1("Klarer ikke å sette DCB:") + "\r" + DeviceErrorText(err));
    rec.Handle.reset();
    return;
  }
  rec.Handle->SetDtr(true);
  rec.Handle->SetRts(true);
  if (rec.LoopDelayWasNegative) ShowNotice("Runder", std::to_string(rec.LoopDelay));
  rec.Visible = true;
  rec.LastErrors = rec.Handle->GetLineErrors().value_or(LineErrorCounts{});
  ok = true;
  // A control whose line is already up must drop and raise it to start a
  // send; otherwise every open would start one.
  if (rec.HandShake && rec.HardwareStart) rec.RemoteWasReady = RemoteReady(rec, true);
  PurgePort(rec);
}

void TCom::ReportOpenFailure(bool ok, const std::string& portName) {
  if (ok) return;
  ReportCell(kColStatus, L1("Kan ikke åpne ") + portName);
  Pause(5000);
}

void TCom::ClosePort(TComPort& rec) {
  if (!rec.Handle) return;
  LineSettings s = rec.Dcb;
  s.rtsCts = false;  // RTS is ours to drop only while the kernel does not drive it
  int err = 0;
  rec.Handle->Configure(s, err);
  rec.Handle->SetDtr(false);
  rec.Handle->SetRts(false);
  rec.Handle.reset();
}

void TCom::PurgePort(TComPort& rec) {
  if (rec.Handle) rec.Handle->Purge(true, true);
}

void TCom::PurgeOutput(TComPort& rec) {
  rec.OutBuf.clear();
  if (rec.Handle) rec.Handle->Purge(false, true);
}

void TCom::UnreadChar(TComPort& rec, char ch) {
  rec.HasUnread = true;
  rec.UnreadCh = ch;
}

void TCom::SetRemoveNull(TComPort& rec, bool on) {
  if (!rec.FjernNull || !rec.Handle) return;
  LineSettings s = rec.Dcb;
  s.stripNul = on;
  int err = 0;
  if (rec.Handle->Configure(s, err)) rec.Dcb.stripNul = on;
}

void TCom::EchoHex(const TComPort& rec, bool received, const char* data, size_t n) {
  std::string text;
  char hex[8];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(hex, sizeof hex, "$%02X ", static_cast<unsigned char>(data[i]));
    text += hex;
  }
  ConsoleWrite(!rec.Visible, received, static_cast<int>(rec.CharCount), text);
}

void TCom::ReportReadError(TComPort& rec, bool idle, int err) {
  SetCell(kColMelding, std::to_string(err) + ": " + DeviceErrorText(err));
  if (idle && rec.TerminateOnError)
    Terminate();
  else
    Pause(1000);
}

void TCom::IdleTimeout(TComPort& rec) {
  if (!rec.PingHost.empty()) {
    PingResult r = PingOnce(rec.PingHost);
    PingStep step = StepPing(rec, r.ok, r.error);
    if (step.terminate) {
      ReportCellWait(kColMelding, step.message);
      Terminate();
    } else if (!step.message.empty()) {
      SetCell(kColMelding, step.message);
    }
  }
  if (StepXonKeepAlive(rec)) {
    const uint8_t xon = kXon;
    if (rec.Handle) rec.Handle->Write(&xon, 1, rec.TimeMultiplier);
    SetCell(kColMelding, "XOn Sendt");
  }
}

void TCom::ReadCharWaiting(TComPort& rec, bool idle, int timeoutMs, bool& ok, char& ch) {
  ok = false;
  if (rec.HasUnread) {
    rec.HasUnread = false;
    ch = rec.UnreadCh;
    ok = true;
    return;
  }
  if (!rec.Handle) return;
  uint8_t b = 0;
  if (WaitForByte(rec, idle, timeoutMs, b)) TakeByte(rec, b, ok, ch);
}

size_t TCom::PeekRun(const TComPort& rec, char* out, size_t max) const {
  if (rec.HasUnread || rec.Raw || !rec.Handle) return 0;
  const size_t n = std::min(max, rec.Handle->Buffered());
  const uint8_t* in = rec.Handle->PeekBuffered();
  const bool xonStarts = rec.XonXoff && rec.XonStart;
  const bool checked = rec.StoppTid > 0 && !TransferError;
  size_t i = 0;
  for (; i < n; ++i) {
    const char ch = zova::DecodeChar(rec.Code, static_cast<char>(in[i]));
    if ((xonStarts && ch == kXon) || (checked && !rec.ValidSet.test(static_cast<uint8_t>(ch))))
      break;
    out[i] = ch;
  }
  return i;
}

void TCom::TakeRun(TComPort& rec, const char* chars, size_t n) {
  rec.Handle->DropBuffered(n);
  if (Logging)
    for (size_t i = 0; i < n; ++i) LogByte(kMarkReceived, static_cast<uint8_t>(chars[i]));
  if (!ConsoleOutputOn()) {
    rec.CharCount += static_cast<int64_t>(n);
    Echo(rec, true, chars, n);  // only the count: the console is not fed
    return;
  }
  // The console batches text as it comes, a character at a time.
  for (size_t i = 0; i < n; ++i) {
    ++rec.CharCount;
    Echo(rec, true, chars + i, 1);
  }
}

void TCom::TakeStartSignal(TComPort& rec) {
  rec.StartSeen = true;
  SwitchToSoftware(rec, false, false);
}

bool TCom::WaitForByte(TComPort& rec, bool idle, int timeoutMs, uint8_t& b) {
  const int attempts = idle ? 1 : rec.TimeOut;
  bool got = false;
  for (int i = 0; i < attempts && !got; ++i) {
    IoResult r = rec.Handle->ReadByte(b, timeoutMs);
    got = r.count == 1;
    // Woken for an order (or to stop): the caller's loop takes it now.
    if (r.woken) break;
    if (!got && !r.Ok()) {
      // A line whose other end is gone reads as an I/O error, as a port
      // whose adapter was pulled out does.
      ReportReadError(rec, idle, r.err ? r.err : EIO);
    } else if (!got && idle && timeoutMs > 0) {
      IdleTimeout(rec);
    }
    if (!got) CheckComError(rec, true);
    if (Terminated()) break;
    if (!got && !idle && i + 1 < attempts) Pause(20);
  }
  return got;
}

// A poll that finds nothing is no idle period of the line: it neither pings
// nor counts towards the XON keep-alive (it runs inside a send).
void TCom::PollChar(TComPort& rec, bool& ok, char& ch) {
  ReadCharWithin(rec, true, 0, ok, ch);
}

void TCom::CheckComError(TComPort& rec, bool markFailed) {
  if (!rec.AbortOnError || !rec.Handle) return;
  auto now = rec.Handle->GetLineErrors();
  if (!now) return;
  std::string text = LineErrorText(rec.LastErrors, *now);
  rec.LastErrors = *now;
  if (text.empty()) return;
  ReportCellWait(kColMelding, text);
  if (markFailed) TransferError = true;
}

void TCom::StopSender(TComPort& rec, bool tvFault, char ch) {
  StopPlan plan = PlanStopSender(rec, tvFault, static_cast<uint8_t>(ch));
  ReportCellWait(kColMelding, plan.message);
  TransferError = true;
  bool ok = true;
  if (plan.sendXoff) WriteChar(rec, true, ok, kXoff);
  if (plan.stopByte >= 0 && rec.Handle) {
    Pause(10);
    const auto b = static_cast<uint8_t>(plan.stopByte);
    if (rec.Handle->Write(&b, 1, rec.TimeMultiplier).count == 1) LogByte(kMarkSent, b);
  }
  if (rec.Handle) {
    // Both lines drop for the stop time: the control sees "not ready".
    LineSettings held = rec.Dcb;
    held.rtsCts = false;
    ApplySettings(rec, held);
    rec.Handle->SetDtr(false);
    rec.Handle->SetRts(false);
  }
  if (plan.breakSignal && rec.Handle) {
    Pause(100);
    SetCell(kColMelding, rec.Handle->SetBreak(true)
                             ? "Break signal satt i " + std::to_string(rec.StoppTid) + " sekund"
                             : std::string("Break feilet"));
  }
  for (int s = 0; s < plan.waitSeconds && !Terminated(); ++s) Pause(1000);
  if (plan.breakSignal && rec.Handle) {
    rec.Handle->SetBreak(false);
    Pause(100);
  }
  if (rec.Handle) {
    ApplySettings(rec, rec.Dcb);
    rec.Handle->SetDtr(true);
    rec.Handle->SetRts(true);
  }
  if (plan.xonAfter) {
    Pause(100);
    WriteChar(rec, true, ok, kXon);
  }
}

bool TCom::ApplySettings(TComPort& rec, const LineSettings& s) {
  int err = 0;
  return rec.Handle && rec.Handle->Configure(s, err);
}

}  // namespace zova
