#include "app/register_drivers.h"

namespace zova::app {

void RegisterStationDrivers() {}

}  // namespace zova::app
