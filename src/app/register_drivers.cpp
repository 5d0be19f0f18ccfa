#include "app/register_drivers.h"

#include "netfiles/register_netfiles.h"

namespace zova::app {

void RegisterStationDrivers() {
  RegisterNetFileDrivers();
}

}  // namespace zova::app
