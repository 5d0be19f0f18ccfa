#pragma once
// Station-wide file-type settings of [Program] and the per-machine data
// directory, read at each call.

#include <string>
#include <string_view>

namespace zova {

std::string MachineSection(int machineNo);  // "Maskin" + N
std::string ProgramExt();                   // [Program] Ext, ".NC"
std::string NomProgramExt(bool turn);       // NomTurnExt ".TRN" / NomMillExt ".MIL"
std::string ToolFileExt(bool turn, bool tool);
std::string ChangeToNomExt(bool turn, std::string_view name);
std::string ReadToolReg(std::string_view section, bool useD);
std::string MachineToolReg(int machineNo, bool useD);
// "NomReg må være lik ToolReg" when ToolReg is set, has no extension and differs.
void CheckNomReg(std::string_view caption, std::string_view nomReg, std::string_view toolReg);
std::string OtherProgramFilter(std::string_view section);
// [MaskinN] Katalog when set; else DataKatalog + "MaskinN\" when it exists; else DataKatalog.
std::string MachineDataDir(int machineNo);

}  // namespace zova
