#include "serial/register_serial.h"

#include <memory>

#include "core/driver/protocol_table.h"
#include "serial/standard/tzova.h"

namespace zova {

void RegisterSerialDrivers() {
  RegisterDriverClass(
      "TZova", [](const UiLinks& links, MachineRequest& request, int n) -> std::unique_ptr<TMsg> {
        return std::make_unique<TZova>(links, request, n);
      });
}

}  // namespace zova
