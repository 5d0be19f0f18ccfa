#include "protocols/register_protocols.h"

#include "core/driver/protocol_table.h"
#include "protocols/mazatrol/tmazatrol.h"
#include "protocols/num/tnum.h"
#include "protocols/raskin/traskin.h"

namespace zova {

void RegisterProtocolDrivers() {
  RegisterDriver<TRaskin>("TRaskin");
  RegisterDriver<TMazatrol>("TMazatrol");
  RegisterDriver<TNum>("TNum");
  RegisterDriver<TNumNJ>("TNumNJ");
}

}  // namespace zova
