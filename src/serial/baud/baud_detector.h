#pragma once
// The baud-rate detection on a machine's port, opened apart from the
// drivers' line layer: the search from the maximum rate down on characters
// read with their line errors marked by the kernel, then the stream shown
// until stopped. The window's dialog and `zova baud` both run it; they show
// what it reports and say when to stop.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "serial/baud/baud_search.h"
#include "serial/baud/marked_input.h"
#include "serial/device/serial_device.h"

namespace zova {

// [MaskinN] Port, upper-cased; "COM" + (N + 2) when not set.
std::string DetectionPort(int machine);

struct BaudEvents {
  // A rate is tried (the first on opening).
  std::function<void(int rate)> onRate;
  // "Synkroniserer", "Sjekker", "Detektert".
  std::function<void(const std::string& status)> onStatus;
  // One character as shown (modulo 128), whether it came with a line error,
  // and how many have come in all.
  std::function<void(uint8_t shown, bool faulty, int count)> onChar;
  // Asked after every read (and every quiet read period): true to stop.
  // The window processes its events here.
  std::function<bool()> stop;
  // After the rate was accepted: true when the search may end without
  // waiting for a stop (the command line, once it has seen enough).
  std::function<bool(int charsSinceDetected)> enough;
};

struct BaudOutcome {
  bool detected = false;  // a rate was accepted and shown: settings may be offered
  int rate = 0;
  bool highBitSeen = false;
};

enum class BaudOpenFault { None, NoDevice, Settings };

class BaudDetector {
 public:
  ~BaudDetector();

  // Opens Port's device (its section's Enhet) at the maximum rate. A device
  // that cannot be opened is NoDevice; settings it refuses are Settings,
  // with Err (an errno) and the device closed again.
  BaudOpenFault Open(const std::string& port, const BaudSearchSettings& s, int& err);
  // The search and the display phase until Events.stop (or enough).
  BaudOutcome Run(const BaudEvents& events);
  // DTR and RTS off, then the device closed. False when the modem lines
  // could not be switched off.
  bool Close();
  bool IsOpen() const { return device_ != nullptr; }
  std::string DeviceName() const { return deviceName_; }

  // How long one read waits before Events.stop is asked again.
  int readSliceMs = 100;

 private:
  // One character, or false when the slice passed without one.
  bool ReadChar(uint8_t& value, bool& faulty);

  std::unique_ptr<SerialDevice> device_;
  MarkedInput marks_;
  std::string deviceName_;
  BaudSearchSettings settings_;
};

}  // namespace zova
