#include "protocols/register_protocols.h"

#include "core/driver/protocol_table.h"
#include "protocols/heidenhain/theidenhain.h"
#include "protocols/heidenhain/thhlsv2.h"
#include "protocols/heidenhain/tlinje.h"
#include "protocols/lsv2/tlsv2.h"
#include "protocols/mazatrol/tmazatrol.h"
#include "protocols/num/tnum.h"
#include "protocols/okuma/tlsv2_okuma.h"
#include "protocols/presetter/tforinst.h"
#include "protocols/raskin/traskin.h"

namespace zova {

void RegisterProtocolDrivers() {
  RegisterDriver<TLSV2>("TLSV2");
  RegisterDriver<TLSV2Okuma>("TLSV2Okuma");
  RegisterDriver<TRaskin>("TRaskin");
  RegisterDriver<TLinje>("TLinje");
  RegisterDriver<THeidenHain>("THeidenHain");
  RegisterDriver<THHLsv2>("THHLsv2");
  RegisterDriver<TMazatrol>("TMazatrol");
  RegisterDriver<TNum>("TNum");
  RegisterDriver<TNumNJ>("TNumNJ");
  // Every presetter station kind is served by the one presetter station:
  // what the system needs of each is the same (its lines read into the
  // register and the offset program written).
  for (const char* kind : {"TForInst", "TForInstT", "TForInstX", "TForInstF", "TForInstD",
                           "TForInstB", "TForInstTerm"})
    RegisterDriver<TForInst>(kind);
}

}  // namespace zova
