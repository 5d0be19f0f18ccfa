#include "protocols/register_protocols.h"

#include "core/driver/protocol_table.h"
#include "protocols/presetter/tforinst.h"
#include "protocols/raskin/traskin.h"

namespace zova {

void RegisterProtocolDrivers() {
  RegisterDriver<TRaskin>("TRaskin");
  // Every presetter station kind is served by the one presetter station:
  // what the system needs of each is the same (its lines read into the
  // register and the offset program written).
  for (const char* kind : {"TForInst", "TForInstT", "TForInstX", "TForInstF", "TForInstD",
                           "TForInstB", "TForInstTerm"})
    RegisterDriver<TForInst>(kind);
}

}  // namespace zova
