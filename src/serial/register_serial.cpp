#include "serial/register_serial.h"

#include "core/driver/protocol_table.h"
#include "serial/standard/tzova.h"
#include "serial/variants/tbtr.h"
#include "serial/variants/tdc2.h"
#include "serial/variants/techo.h"

namespace zova {

void RegisterSerialDrivers() {
  RegisterDriver<TZova>("TZova");
  RegisterDriver<TBtr>("TBtr");
  RegisterDriver<TDC2>("TDC2");
  RegisterDriver<TEcho>("TEcho");
}

}  // namespace zova
