#include "protocols/register_protocols.h"

#include "core/driver/protocol_table.h"
#include "protocols/heidenhain/theidenhain.h"
#include "protocols/heidenhain/tlinje.h"
#include "protocols/raskin/traskin.h"

namespace zova {

void RegisterProtocolDrivers() {
  RegisterDriver<TRaskin>("TRaskin");
  RegisterDriver<TLinje>("TLinje");
  RegisterDriver<THeidenHain>("THeidenHain");
}

}  // namespace zova
