#include "serial/register_serial.h"

#include "core/driver/protocol_table.h"
#include "serial/display/tdisplay.h"
#include "serial/standard/tzova.h"
#include "serial/terminal/tterminal.h"
#include "serial/variants/tbtr.h"
#include "serial/variants/tdc2.h"
#include "serial/variants/techo.h"
#include "serial/variants/tfapt.h"
#include "serial/variants/thybrid.h"
#include "serial/variants/tokuma.h"
#include "serial/variants/tsiemens.h"

namespace zova {

void RegisterSerialDrivers() {
  RegisterDriver<TZova>("TZova");
  RegisterDriver<TBtr>("TBtr");
  RegisterDriver<TDC2>("TDC2");
  RegisterDriver<TOkuma>("TOkuma");
  RegisterDriver<TSiemens>("TSiemens");
  RegisterDriver<THybrid>("THybrid");
  RegisterDriver<TFapt>("TFapt");
  RegisterDriver<TDisplay>("TDisplay");
  RegisterDriver<TEcho>("TEcho");
  RegisterDriver<TTerminal>("TTerminal");
}

}  // namespace zova
