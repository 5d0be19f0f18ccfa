#pragma once

namespace zova {

// Makes the serial drivers known to the machine set by class name.
void RegisterSerialDrivers();

}  // namespace zova
