#pragma once
// The settings of one port section as a value: every key with its default,
// and what follows from them (the line code, the valid set, the kernel
// settings). Read by one pure function, so the whole mapping from a
// section's text to a line can be tested without a file or a device.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/config/section_values.h"
#include "files/transfer/char_codes.h"
#include "serial/device/serial_device.h"

namespace zova {

struct PortSettings {
  std::string Enhet;  // the device, as DeviceForPort takes it
  // What the kernel is asked for at open.
  LineSettings Line;
  int StopBits = 1;
  bool XonXoff = false, RtsCts = false, DtrDsr = false, HardwareStart = false;
  // The first, provisional RtsCts read: RTS driven by our input flow.
  bool RtsControlHandshake = false;
  bool DsrOn = true, HandShake = true, SendDelay = false, FjernNull = false;
  bool AbortOnError = false, TerminateOnError = false;
  std::string PingHost;
  bool XOnTest = false;
  uint8_t Code = kCodeIso;
  bool XonStart = false;
  int TimeMultiplier = 1000;  // ms per byte
  int TimeOut = 3;            // read attempts
  int WriteTries = 3;         // key Break
  int Delay = 0;              // ms after each write
  // Busy-wait after each write, in milliseconds; the wait is measured on the
  // monotonic clock, so no loop calibration is needed.
  int LoopDelay = 0;
  // The operator is told at open that a negative LoopDelay was turned round.
  bool LoopDelayWasNegative = false;
  std::string Eob = "\r\n";  // at most 10 characters
  bool TVCheck = false;
  char TVTegn = ' ';
  bool Blokkvis = false;
  CharSet BreakSet, ContinueSet;
  int StartBlokkvis = 0;
  int StoppTid = 0;  // seconds
  bool BreakSignal = false;
  int StoppByte = -1;
  bool StoppFortsett = false;
  CharSet ValidSet;
  bool Buffer = false;

  bool operator==(const PortSettings&) const = default;
};

// The characters accepted on input when StoppTid > 0, before the port's
// additions and removals.
CharSet BuiltInValidSet();

// The settings of a port section. ExtraValidChars are the driver's start and
// stop codes; XonStartDefault is the driver's default for XonStart.
PortSettings ReadPortSettings(const SectionValues& section, std::string_view extraValidChars,
                              bool xonStartDefault);

}  // namespace zova
