#pragma once
// The input-side decisions of a line as pure functions: the valid-character
// check and the stop procedure it starts, the line-error report, the
// control's ready lines and start edges, and the idle keep-alives.

#include <cstdint>
#include <string>

#include "serial/device/serial_device.h"
#include "serial/line/com_port.h"

namespace zova {

// ReadCheckedChar: whether Ch must stop the sender. Inline: it is asked for
// every byte received.
inline bool InvalidCharStopsSender(const TComPort& rec, bool check, bool transferFailed,
                                   uint8_t ch) {
  return rec.StoppTid > 0 && check && !transferFailed && !rec.ValidSet.test(ch);
}

// What StopSender does, in order.
struct StopPlan {
  std::string message;  // Melding, shown with the status pause
  bool sendXoff = false;
  int stopByte = -1;  // 0..255: sent unconverted 10 ms after the XOFF
  bool breakSignal = false;
  int waitSeconds = 0;
  bool xonAfter = false;
};
// TvFault: a TV check fault (else the invalid character Ch).
StopPlan PlanStopSender(const TComPort& rec, bool tvFault, uint8_t ch);

// The first new line error, in the order break, framing, I/O, overrun,
// receive overflow, parity, as the Melding text; empty when none is new.
std::string LineErrorText(const LineErrorCounts& before, const LineErrorCounts& now);

// The modem-status word kept in LastModemStatus (CTS 0x10, DSR 0x20, RING
// 0x40, DCD 0x80).
uint32_t ModemStatusWord(const ModemStatus& m);

// RemoteReady's test for the configured lines: CTS and DSR with both
// handshakes (both off when WantOn is false), DSR with DtrDsr, else CTS.
bool RemoteReadyFrom(const TComPort& rec, const ModemStatus& m, bool wantOn);

// PollRemoteStart as a state step. ReadyOn/ReadyOff are RemoteReady(on) and
// RemoteReady(off) now; updates StartSeen and RemoteWasReady of Rec and says
// whether output must be resumed as after an XON. A start needs a rising
// edge: a line that was already up when armed does not start a send.
bool StepRemoteStart(TComPort& rec, bool readyOn, bool readyOff);

// The result of an idle ping, applied to Rec.PingFailures.
struct PingStep {
  std::string message;  // empty: nothing to show
  bool terminate = false;
};
PingStep StepPing(TComPort& rec, bool ok, const std::string& errorText);

// The XON keep-alive: true when this idle timeout must send one XON.
bool StepXonKeepAlive(TComPort& rec);

}  // namespace zova
