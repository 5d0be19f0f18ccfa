#pragma once

namespace zova {

// Registers the controller protocol drivers with the protocol table.
void RegisterProtocolDrivers();

}  // namespace zova
