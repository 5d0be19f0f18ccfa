#include "netfiles/register_netfiles.h"

#include <memory>

#include "core/driver/protocol_table.h"
#include "netfiles/tfiler.h"
#include "netfiles/tkattemp.h"
#include "netfiles/twintool.h"

namespace zova {

namespace {

template <typename T>
DriverFactory FactoryOf() {
  return [](const UiLinks& links, MachineRequest& request, int n) -> std::unique_ptr<TMsg> {
    return std::make_unique<T>(links, request, n);
  };
}

}  // namespace

void RegisterNetFileDrivers() {
  RegisterDriverClass("TFiler", FactoryOf<TFiler>());
  RegisterDriverClass("TKatTemp", FactoryOf<TKatTemp>());
  RegisterDriverClass("TWinTool", FactoryOf<TWinTool>());
}

}  // namespace zova
