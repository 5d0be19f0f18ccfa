#include "serial/line/com_port.h"

#include "core/config/config.h"
#include "core/latin1.h"

namespace zova {

void ReadComPortSettings(std::string_view portName, std::string_view extraValidChars,
                         bool xonStartDefault, TComPort& rec) {
  static_cast<PortSettings&>(rec) =
      ReadPortSettings(IniSection(Trim(portName)), extraValidChars, xonStartDefault);
  rec.Dcb = rec.Line;
  rec.BlokkvisActive = true;
}

}  // namespace zova
