#pragma once

namespace zova {

// Registers the machine-state drivers (logging box, cell status reader).
void RegisterStatusLogDrivers();

}  // namespace zova
