// Presetter lines, returned offset-program lines and line templates: text
// from a serial line or a configuration, so any bytes at all. The first byte
// picks the presetter type.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/offset_reader.h"
#include "tools/presetter.h"
#include "tools/tool_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  int type = data[0] % 19;  // 0 and 18 are not presetter types
  std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
  zova::PresetterReading p = zova::ParsePresetterLine(type, line);
  if (p.Ok && (!std::isfinite(p.X) || !std::isfinite(p.Z))) std::abort();
  double v = 0;
  zova::NumberAfter(line, line.substr(0, line.size() % 4), v);
  for (const auto& u : zova::ParseOffsetLine(line, 1000))
    if (u.Real < 0 || u.Real > 7) std::abort();
  std::string filled = zova::FormatToolLine(p.ToolNo, line, p.Z, p.X);
  if (filled.size() > line.size() + 3 * 256) std::abort();  // widths stay bounded
  return 0;
}
