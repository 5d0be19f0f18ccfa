#include "app/register_drivers.h"

#include "netfiles/register_netfiles.h"
#include "protocols/register_protocols.h"
#include "serial/register_serial.h"
#include "statuslog/register_statuslog.h"

namespace zova::app {

void RegisterStationDrivers() {
  RegisterNetFileDrivers();
  RegisterSerialDrivers();
  RegisterProtocolDrivers();
  RegisterStatusLogDrivers();
}

}  // namespace zova::app
