#pragma once
// Which device a port name stands for. The name ("COM3", or any other)
// names the line's INI section; its key Enhet names the device: a path, or
// tcp:HOST:PORT, rfc2217:HOST:PORT, or loop:NAME for a parked loopback end
// (tests). Without Enhet, "COMn" means /dev/ttyS<n-1> and any other name is
// taken as a path.

#include <memory>
#include <string>
#include <string_view>

#include "serial/device/serial_device.h"

namespace zova {

// Pure: the device named by a port name and the section's Enhet value.
std::string DeviceForPort(std::string_view portName, std::string_view enhet);

// Opens a device text as DeviceForPort returns it (the port's settings hold
// its Enhet). Null with Err set (an errno for DeviceErrorText) when it
// cannot be opened.
std::unique_ptr<SerialDevice> OpenDeviceByName(const std::string& device, int& err);

}  // namespace zova
