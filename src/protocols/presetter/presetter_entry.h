#pragma once
// What the presetter station makes of one line from its presetter: the tool
// it measured, the register it goes into and the values to store, or why the
// line is not used. Reads the station's section (the per-system keys) but
// touches no file.

#include <cstdint>
#include <string>
#include <string_view>

namespace zova {

struct PresetterEntry {
  bool Used = false;
  std::string Reason;  // why not, for the operator (Latin-1)
  int System = 0;
  int32_t ToolNo = 0;     // as stored: after the program number and the offset
  int32_t ProgramNo = 0;  // ProgDiv<n>: the part of the number above the divisor
  bool Turning = false;   // System<n> "DREI": a turning record (Z, X)
  double X = 0;           // radius or diameter as System<n> makes it (0 for "FRES")
  double Z = 0;           // length
  std::string ToolReg, NomReg;
};

// Type is the Forinnstiller number. Steps: the type's parser, System<n> and
// SnuL<n> (ApplySystem), ProgDiv<n>, MaxTool<n> on the tool number, then
// Offset<n> added to it; a system without a register is not used.
PresetterEntry ReadPresetterEntry(std::string_view section, int type, std::string_view line);

}  // namespace zova
