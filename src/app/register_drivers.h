#pragma once

namespace zova::app {

// Registers every driver class linked into this program with the protocol
// table. Each subsystem adds its Register...Drivers() call here.
void RegisterStationDrivers();

}  // namespace zova::app
