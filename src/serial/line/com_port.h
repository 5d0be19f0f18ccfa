#pragma once
// The state of one open line: its settings from the port section (several
// machines on one port share them) and what the line layer keeps between
// calls. One record belongs to one driver thread; nothing here is locked.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/config/config.h"
#include "files/transfer/char_codes.h"
#include "serial/device/serial_device.h"

namespace zova {

struct TComPort {
  bool Visible = false;
  std::unique_ptr<SerialDevice> Handle;
  // What the kernel is asked for (the DCB of the original): rebuilt from the
  // fields below whenever the handshake is switched.
  LineSettings Dcb;
  int StopBits = 1;
  bool XonXoff = false, RtsCts = false, DtrDsr = false, HardwareStart = false;
  // The first, provisional RtsCts read: RTS driven by our input flow.
  bool RtsControlHandshake = false;
  bool RemoteWasReady = false;
  bool DsrOn = true, HandShake = true, SendDelay = false, FjernNull = false;
  bool AbortOnError = false, TerminateOnError = false;
  std::string PingHost;
  int PingFailures = 0;
  bool XOnTest = false;
  int IdleCount = 0;
  uint8_t Code = kCodeIso;
  bool Raw = false;
  bool XonStart = false;
  int TimeMultiplier = 1000;  // ms per byte
  // Reads take what is there and never wait: a fast send's block-wise
  // answers must not hold the line up a TimeMultiplier per read.
  bool ReadsReturnAtOnce = false;
  int TimeOut = 3;     // read attempts
  int WriteTries = 3;  // key Break
  int Delay = 0;       // ms after each write
  // Busy-wait after each write, in milliseconds; the wait is measured on the
  // monotonic clock, so no loop calibration is needed.
  int LoopDelay = 0;
  bool StartSeen = false;
  bool HasUnread = false;
  char UnreadCh = 0;
  int64_t CharCount = 0;
  bool EobSent = false;
  std::string Eob = "\r\n";  // at most 10 characters
  bool TVCheck = false;
  int LineLength = 0;
  char TVTegn = ' ';
  bool Blokkvis = false, BlokkvisActive = true;
  CharSet BreakSet, ContinueSet;
  int StartBlokkvis = 0;
  int StoppTid = 0;  // seconds
  bool BreakSignal = false;
  int StoppByte = -1;
  bool StoppFortsett = false;
  CharSet ValidSet;
  bool Buffer = false;
  std::string OutBuf;
  uint32_t LastModemStatus = 255;
  // Line error counts at the last check; new errors are the difference.
  LineErrorCounts LastErrors;
};

// The characters accepted on input when StoppTid > 0, before the port's
// additions and removals.
CharSet BuiltInValidSet();

// Reads every key of [PortName] into Rec (device and run-time state are left
// alone) and derives the kernel settings in Rec.Dcb. ExtraValidChars are the
// driver's start and stop codes; XonStartDefault is the driver's default for
// XonStart.
void ReadComPortSettings(std::string_view portName, std::string_view extraValidChars,
                         bool xonStartDefault, TComPort& rec);

// The kernel settings for the handshake fields of Rec as they stand now
// (used at open and by the handshake switch). XonOut: obey the control's
// XOFF; XonIn: send XOFF when our input fills.
LineSettings KernelSettings(const TComPort& rec, bool xonOut, bool xonIn, bool ctsFlow,
                            bool dsrFlow);

}  // namespace zova
