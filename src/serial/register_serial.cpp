#include "serial/register_serial.h"

#include "core/driver/protocol_table.h"
#include "serial/standard/tzova.h"

namespace zova {

void RegisterSerialDrivers() {
  RegisterDriver<TZova>("TZova");
}

}  // namespace zova
