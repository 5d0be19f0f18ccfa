#include "protocols/presetter/presetter_entry.h"

#include <cstdint>

#include "core/latin1.h"
#include "tools/presetter.h"

namespace zova {

PresetterEntry ReadPresetterEntry(std::string_view section, int type, std::string_view line) {
  PresetterEntry e;
  const PresetterReading r = ParsePresetterLine(type, line);
  if (!r.Ok) {
    e.Reason = "ulesbar linje";
    return e;
  }
  e.System = r.SecondNo;
  bool isDiameter = r.IsDiameter;
  double x = r.X, z = r.Z;
  const SystemResult s = ApplySystem(section, e.System, isDiameter, x, z);
  const std::string system = "system " + std::to_string(e.System);
  if (!s.Accepted) {
    e.Reason = system + " tar ikke " + (isDiameter ? "diameter" : "radius");
    return e;
  }
  if (s.ToolReg.empty()) {
    e.Reason = system + " har ikke ToolReg";
    return e;
  }
  int32_t tool = r.ToolNo;
  SplitProgramNumber(section, e.System, false, e.ProgramNo, tool);
  if (s.MaxTool > 0 && tool > s.MaxTool) {
    e.Reason =
        L1("verktøy ") + std::to_string(tool) + " er over MaxTool" + std::to_string(e.System);
    return e;
  }
  const int64_t stored = static_cast<int64_t>(tool) + s.Offset;
  if (stored < INT32_MIN || stored > INT32_MAX) {
    e.Reason = L1("verktøynummeret blir for stort");
    return e;
  }
  e.ToolNo = static_cast<int32_t>(stored);
  e.Turning = !s.NotTurning;
  e.X = x;
  e.Z = z;
  e.ToolReg = s.ToolReg;
  e.NomReg = s.NomReg;
  e.Used = true;
  return e;
}

}  // namespace zova
