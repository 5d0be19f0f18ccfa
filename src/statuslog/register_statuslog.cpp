#include "statuslog/register_statuslog.h"

#include "core/driver/protocol_table.h"
#include "statuslog/box/tboks.h"
#include "statuslog/cell/tmakino.h"

namespace zova {

void RegisterStatusLogDrivers() {
  RegisterDriver<TBoks>("TBoks");
  RegisterDriver<TMakino>("TMakino");
}

}  // namespace zova
