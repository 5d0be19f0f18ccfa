#include "serial/line/line_checks.h"

#include "core/latin1.h"
#include "core/visual.h"
#include "serial/line/com_port.h"

namespace zova {

namespace {
constexpr int kPingFailuresToEnd = 10;
constexpr int kIdleTimeoutsPerXon = 30;

std::string Waiting(int seconds) {
  return " - venter " + std::to_string(seconds) + " sekund";
}
}  // namespace

StopPlan PlanStopSender(const TComPort& rec, bool tvFault, uint8_t ch) {
  StopPlan p;
  if (tvFault)
    p.message = "TVCheck feilet " + std::to_string(rec.CharCount) + "/" +
                std::to_string(rec.LineLength) + Waiting(rec.StoppTid);
  else
    p.message = "Ugyldig tegn: " + CharToVisual(ch) + Waiting(rec.StoppTid);
  if (rec.HandShake) {
    p.sendXoff = rec.XonXoff;
    if (rec.StoppByte >= 0 && rec.StoppByte <= 255) p.stopByte = rec.StoppByte;
  }
  p.breakSignal = rec.BreakSignal;
  p.waitSeconds = rec.StoppTid > 0 ? rec.StoppTid : 0;
  p.xonAfter = rec.XonXoff && rec.StoppFortsett;
  return p;
}

std::string LineErrorText(const LineErrorCounts& before, const LineErrorCounts& now) {
  // Counters only grow; a smaller value means the device was reopened.
  auto grew = [](uint32_t a, uint32_t b) { return b > a; };
  if (grew(before.brk, now.brk)) return "Com: Break oppdaget";
  if (grew(before.frame, now.frame)) return "Com: Framing error oppdaget";
  if (grew(before.io, now.io)) return "Com: I/O-error oppdaget";
  if (grew(before.overrun, now.overrun)) return "Com: Overrun oppdaget";
  if (grew(before.rxOverflow, now.rxOverflow)) return "Com: RX-Overrun oppdaget";
  if (grew(before.parity, now.parity)) return "Com: Parity error oppdaget";
  return {};
}

uint32_t ModemStatusWord(const ModemStatus& m) {
  return (m.cts ? 0x10u : 0) | (m.dsr ? 0x20u : 0) | (m.ring ? 0x40u : 0) | (m.dcd ? 0x80u : 0);
}

bool RemoteReadyFrom(const TComPort& rec, const ModemStatus& m, bool wantOn) {
  if (rec.DtrDsr && rec.RtsCts) return wantOn ? (m.cts && m.dsr) : (!m.cts && !m.dsr);
  if (rec.DtrDsr) return m.dsr == wantOn;
  return m.cts == wantOn;
}

bool StepRemoteStart(TComPort& rec, bool readyOn, bool readyOff) {
  if (!rec.HardwareStart || !rec.HandShake) {
    rec.StartSeen = false;
    return false;
  }
  rec.StartSeen = readyOn;
  if (rec.RemoteWasReady && !rec.StartSeen && (rec.DsrOn || readyOff)) rec.RemoteWasReady = false;
  if (rec.StartSeen && rec.RemoteWasReady) rec.StartSeen = false;
  return rec.XonXoff && rec.StartSeen;
}

PingStep StepPing(TComPort& rec, bool ok, const std::string& errorText) {
  PingStep s;
  if (ok) {
    if (rec.PingFailures > 0) s.message = "Ping OK - " + std::to_string(rec.PingFailures);
    rec.PingFailures = 0;
    return s;
  }
  ++rec.PingFailures;
  if (rec.TerminateOnError && rec.PingFailures >= kPingFailuresToEnd) {
    s.message = "Ping feilet igjen, terminerer";
    s.terminate = true;
  } else {
    s.message = "Ping feilet - " + std::to_string(rec.PingFailures) + " (" + errorText + ")";
  }
  return s;
}

bool StepXonKeepAlive(TComPort& rec) {
  if (!rec.XOnTest) return false;
  if (++rec.IdleCount < kIdleTimeoutsPerXon) return false;
  rec.IdleCount = 0;
  return true;
}

}  // namespace zova
