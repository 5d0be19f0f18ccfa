#pragma once
// The few settings the whole station shares. Filled once at start-up, before
// the first driver starts, and read-only afterwards; SendToMachine is the one
// exception and is touched only on the main thread.

#include <cstdint>
#include <string>

namespace zova {

struct ProgramGlobals {
  std::string IniFil;       // station path of Zova.ini; empty = no active file
  std::string ExeKatalog;   // ends with a separator
  std::string DataKatalog;  // ends with a separator
  bool TestModus = false;
  std::string SysExt = ".SPR";
  int ForInst = 0;
  bool Debug = false;         // [TextUtil] Debug
  uint8_t SendToMachine = 0;  // main thread only
};

ProgramGlobals& Globals();

}  // namespace zova
