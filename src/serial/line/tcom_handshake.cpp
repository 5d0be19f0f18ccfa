// The start of a send and the switch between the handshakes around it:
// hardware lines while the line waits, software flow while a send runs.

#include "serial/line/tcom.h"

#include "core/latin1.h"
#include "core/uihost.h"
#include "serial/line/line_checks.h"

namespace zova {

void TCom::WaitForStart(TComPort& rec, int seconds, bool noWait) {
  if (seconds <= 0 && !noWait) return;
  if (!noWait) {
    SetCell(kColMelding, "Venter....");
    Pause(static_cast<int64_t>(seconds) * 1000);
  }
  rec.RemoteWasReady = false;
  if (rec.XonXoff) {
    SetCell(kColMelding, "Sending startet");
    rec.StartSeen = true;
    SwitchToSoftware(rec, true, false);
    return;
  }
  rec.StartSeen = RemoteReady(rec, true) || !rec.HandShake;
  SetCell(kColMelding, rec.StartSeen ? "Sending startet" : L1("Venter på start"));
}

bool TCom::RemoteReady(TComPort& rec, bool wantOn) {
  // A line without modem lines counts as up.
  ModemStatus m;
  if (rec.Handle) m = rec.Handle->GetModemStatus().value_or(ModemStatus{});
  const uint32_t word = ModemStatusWord(m);
  if (word != rec.LastModemStatus) {
    rec.LastModemStatus = word;
    SetCellObject(kColMaskin, static_cast<int>(word));
  }
  return RemoteReadyFrom(rec, m, wantOn);
}

bool TCom::PollRemoteStart(TComPort& rec) {
  if (!rec.HardwareStart || !rec.HandShake) {
    rec.StartSeen = false;
    return false;
  }
  const bool on = RemoteReady(rec, true);
  // RemoteReady(off) is sampled only where the step needs it.
  const bool off = rec.RemoteWasReady && !on && !rec.DsrOn ? RemoteReady(rec, false) : false;
  if (StepRemoteStart(rec, on, off) && rec.Handle && !rec.Handle->ResumeOutput())
    ShowNotice("Skriverespons", "Feil med SetXOn");
  return rec.StartSeen;
}

bool TCom::StartRequested(TComPort& rec) {
  bool started = rec.StartSeen;
  if (!started && !rec.XonXoff) started = PollRemoteStart(rec);
  rec.StartSeen = false;
  rec.EobSent = false;
  rec.LineLength = 0;
  return started;
}

void TCom::SwitchToSoftware(TComPort& rec, bool sendXon, bool clearHardwareFlow) {
  if (!rec.XonXoff || !rec.Handle) return;
  if (clearHardwareFlow) {
    rec.Dcb.rtsCts = false;
    rec.Dcb.dtrDsr = false;
  }
  rec.Dcb.xonXoffOut = true;
  rec.Dcb.stopBits = rec.StopBits;
  if (!ApplySettings(rec, rec.Dcb)) {
    ShowNotice("Xon mottatt", L1("Klarer ikke å bytte til software"));
    return;
  }
  if (sendXon && !rec.Handle->ResumeOutput()) ShowNotice("Bytte handshake", "Feil med SetXOn");
}

void TCom::SwitchToHardware(TComPort& rec) {
  if (!rec.Handle) return;
  // A line configured without handshake has no flow control to return to:
  // switching it on after a send would hold the output of a line whose CTS
  // and DSR are not wired.
  if (rec.HandShake && rec.RtsCts) rec.Dcb.rtsCts = true;
  if (rec.HandShake && rec.DtrDsr) rec.Dcb.dtrDsr = true;
  if (!rec.HardwareStart) rec.Dcb.xonXoffOut = false;
  rec.Dcb.stopBits = rec.StopBits;
  if (!ApplySettings(rec, rec.Dcb))
    ShowNotice("Sending slutt", L1("Klarer ikke å bytte til hardware"));
}

void TCom::EndSend(TComPort& rec, bool keep) {
  if (rec.Buffer) {
    bool ok = true;
    FlushOutput(rec, ok);
    Pause(500);
  }
  if (rec.HardwareStart && rec.HandShake) rec.RemoteWasReady = keep || RemoteReady(rec, true);
}

}  // namespace zova
