#include "protocols/register_protocols.h"

#include "core/driver/protocol_table.h"
#include "protocols/raskin/traskin.h"

namespace zova {

void RegisterProtocolDrivers() {
  RegisterDriver<TRaskin>("TRaskin");
}

}  // namespace zova
