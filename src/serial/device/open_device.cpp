#include "serial/device/open_device.h"

#include <cerrno>

#include "core/latin1.h"
#include "serial/device/loopback_device.h"
#include "serial/device/rfc2217_device.h"
#include "serial/device/tcp_device.h"
#include "serial/device/termios_device.h"

namespace zova {

namespace {

bool HasPrefix(std::string_view text, std::string_view upperPrefix) {
  return text.size() >= upperPrefix.size() &&
         UpperCase(text.substr(0, upperPrefix.size())) == upperPrefix;
}

}  // namespace

std::string DeviceForPort(std::string_view portName, std::string_view enhet) {
  std::string device = Trim(enhet);
  if (!device.empty()) return device;
  std::string name = Trim(portName);
  if (HasPrefix(name, "COM") && name.size() > 3 && name.size() <= 6) {
    int n = 0;
    bool digits = true;
    for (char c : name.substr(3)) {
      if (c < '0' || c > '9')
        digits = false;
      else
        n = n * 10 + (c - '0');
    }
    if (digits && n >= 1) return "/dev/ttyS" + std::to_string(n - 1);
  }
  return name;
}

std::unique_ptr<SerialDevice> OpenDeviceByName(const std::string& device, int& err) {
  if (device.empty()) {
    err = ENOENT;
    return nullptr;
  }
  if (HasPrefix(device, "TCP:")) return TcpDevice::Open(device, err);
  if (HasPrefix(device, "RFC2217:")) return Rfc2217Device::Open(device, err);
  if (HasPrefix(device, "LOOP:")) {
    auto end = TakeLoopbackEnd(device.substr(5));
    err = end ? 0 : ENOENT;
    return end;
  }
  return TermiosDevice::Open(device, err);
}

}  // namespace zova
