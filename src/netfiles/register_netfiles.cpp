#include "netfiles/register_netfiles.h"

#include "core/driver/protocol_table.h"
#include "netfiles/tfiler.h"
#include "netfiles/tkattemp.h"
#include "netfiles/twintool.h"

namespace zova {

void RegisterNetFileDrivers() {
  RegisterDriver<TFiler>("TFiler");
  RegisterDriver<TKatTemp>("TKatTemp");
  RegisterDriver<TWinTool>("TWinTool");
}

}  // namespace zova
