#include "serial/baud/baud_detector.h"

#include "core/clock.h"
#include "core/config/config.h"
#include "core/file_settings.h"
#include "core/latin1.h"
#include "serial/baud/marked_input.h"
#include "serial/device/open_device.h"

namespace zova {

std::string DetectionPort(int machine) {
  return Trim(ReadIniUpper(MachineSection(machine), "Port", "COM" + std::to_string(machine + 2)));
}

BaudDetector::~BaudDetector() {
  Close();
}

BaudOpenFault BaudDetector::Open(const std::string& port, const BaudSearchSettings& s, int& err) {
  Close();
  settings_ = s;
  deviceName_ = DeviceForPort(port, ReadIniStr(port, "Enhet", ""));
  device_ = OpenDeviceByName(deviceName_, err);
  if (!device_) return BaudOpenFault::NoDevice;
  if (!device_->Configure(DetectionLine(s.maxBaud, s), err)) {
    device_.reset();
    return BaudOpenFault::Settings;
  }
  device_->SetDtr(true);
  device_->SetRts(true);
  device_->Purge(true, false);
  marks_ = MarkedInput();
  return BaudOpenFault::None;
}

bool BaudDetector::Close() {
  if (!device_) return true;
  const bool modem = device_->GetModemStatus().has_value();
  const bool dtr = device_->SetDtr(false);
  const bool rts = device_->SetRts(false);
  device_.reset();
  // A line without modem lines has nothing to switch off.
  return !modem || (dtr && rts);
}

bool BaudDetector::ReadChar(uint8_t& value, bool& faulty) {
  for (;;) {
    uint8_t b = 0;
    const IoResult r = device_->ReadByte(b, readSliceMs);
    if (r.count != 1) {
      // A line that fails at once (gone, or an error) is asked again only
      // after a read period, as a quiet one would be.
      if (!r.Ok()) TheClock().Sleep(readSliceMs);
      return false;
    }
    MarkedChar c;
    if (marks_.Feed(b, c)) {
      value = c.value;
      faulty = c.faulty;
      return true;
    }
  }
}

BaudOutcome BaudDetector::Run(const BaudEvents& events) {
  BaudOutcome out;
  if (!device_) return out;
  BaudSearch search(settings_);
  int count = 0, sinceDetected = 0;
  int lineRate = search.Rate();
  bool stopped = false;
  auto stop = [&] { return stopped = stopped || (events.stop && events.stop()); };
  if (events.onRate) events.onRate(search.Rate());
  if (events.onStatus) events.onStatus("Synkroniserer");
  while (!stop()) {
    uint8_t b = 0;
    bool faulty = false;
    if (!ReadChar(b, faulty)) continue;
    const uint8_t shown = ShownChar(b, out.highBitSeen);
    if (events.onChar) events.onChar(shown, faulty, ++count);
    if (search.Phase() == BaudPhase::Detected) {
      if (events.enough && events.enough(++sinceDetected)) break;
      continue;
    }
    switch (search.Feed(faulty)) {
      case BaudSearch::Step::Checking:
        if (events.onStatus) events.onStatus("Sjekker");
        break;
      case BaudSearch::Step::NextRate: {
        int err = 0;
        // A rate the device refuses: the pass goes on at the old one.
        if (device_->Configure(DetectionLine(search.Rate(), settings_), err)) {
          lineRate = search.Rate();
          if (events.onRate) events.onRate(lineRate);
        }
        if (events.onStatus) events.onStatus("Synkroniserer");
        break;
      }
      case BaudSearch::Step::Detected:
        out.highBitSeen = false;
        if (events.onStatus) events.onStatus("Detektert");
        break;
      case BaudSearch::Step::None:
        break;
    }
  }
  out.detected = search.Phase() == BaudPhase::Detected;
  out.rate = lineRate;
  return out;
}

}  // namespace zova
