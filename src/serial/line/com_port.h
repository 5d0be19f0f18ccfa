#pragma once
// One open line: the settings of its port section (several machines on one
// port share them) and what the line layer keeps between calls. One record
// belongs to one driver thread; nothing here is locked.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "serial/device/serial_device.h"
#include "serial/line/port_settings.h"

namespace zova {

struct TComPort : PortSettings {
  bool Visible = false;
  std::unique_ptr<SerialDevice> Handle;
  // What the kernel has now (the DCB of the original): Line at open, then
  // changed by the handshake switch and the NUL stripping.
  LineSettings Dcb;
  bool RemoteWasReady = false;
  int PingFailures = 0;
  int IdleCount = 0;
  bool Raw = false;
  // Reads take what is there and never wait: a fast send's block-wise
  // answers must not hold the line up a TimeMultiplier per read.
  bool ReadsReturnAtOnce = false;
  bool StartSeen = false;
  bool HasUnread = false;
  char UnreadCh = 0;
  int64_t CharCount = 0;
  bool EobSent = false;
  int LineLength = 0;
  bool BlokkvisActive = true;
  std::string OutBuf;
  uint32_t LastModemStatus = 255;
  // Line error counts at the last check; new errors are the difference.
  LineErrorCounts LastErrors;
};

// Prepares Rec for opening the line of [PortName] in the active Zova.ini
// (blanks around the name ignored): its settings, the kernel settings to
// apply, block-wise flow armed. The device and the rest of the run-time
// state are left alone.
void ReadComPortSettings(std::string_view portName, std::string_view extraValidChars,
                         bool xonStartDefault, TComPort& rec);

}  // namespace zova
