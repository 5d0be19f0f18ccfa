#pragma once
// Station-wide program-file settings of [Program] and the per-machine data
// directory, read at each call. The tool-file settings are in tools/tool_settings.h.

#include <string>
#include <string_view>

namespace zova {

std::string MachineSection(int machineNo);  // "Maskin" + N
std::string ProgramExt();                   // [Program] Ext, ".NC"
std::string OtherProgramFilter(std::string_view section);
// [MaskinN] Katalog when set; else DataKatalog + "MaskinN\" when it exists; else DataKatalog.
std::string MachineDataDir(int machineNo);

}  // namespace zova
