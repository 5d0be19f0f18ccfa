#include "core/file_settings.h"

#include "core/config/config.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/paths.h"
#include "core/uihost.h"

namespace zova {

std::string MachineSection(int machineNo) {
  return "Maskin" + std::to_string(machineNo);
}

std::string ProgramExt() {
  return ReadIniUpper("Program", "Ext", ".NC");
}

std::string NomProgramExt(bool turn) {
  return turn ? ReadIniUpper("Program", "NomTurnExt", ".TRN")
              : ReadIniUpper("Program", "NomMillExt", ".MIL");
}

std::string ToolFileExt(bool turn, bool tool) {
  if (tool) return ReadIniUpper("Program", "ToolExt", ".TD");
  return turn ? ReadIniUpper("Program", "TurnExt", ".TDT")
              : ReadIniUpper("Program", "MillExt", ".TDM");
}

std::string ChangeToNomExt(bool turn, std::string_view name) {
  return StripExt(name) + NomProgramExt(turn);
}

std::string ReadToolReg(std::string_view section, bool useD) {
  std::string reg = ReadIniUpper(section, "ToolReg", "");
  if (useD) reg = ReadIniUpper(section, "ToolDReg", reg);
  return reg;
}

std::string MachineToolReg(int machineNo, bool useD) {
  std::string program = ReadToolReg("Program", useD);
  std::string section = MachineSection(machineNo);
  std::string reg = ReadIniUpper(section, "ToolReg", program);
  if (useD) reg = ReadIniUpper(section, "ToolDReg", reg);
  return reg;
}

void CheckNomReg(std::string_view caption, std::string_view nomReg, std::string_view toolReg) {
  if (!toolReg.empty() && ExtPos(toolReg) == 0 && toolReg != nomReg)
    ShowNotice(caption, L1("NomReg må være lik ToolReg"));
}

std::string OtherProgramFilter(std::string_view section) {
  std::string filter;
  for (int n = 2;; ++n) {
    std::string ext = ReadIniStr(section, "Ext" + std::to_string(n), "");
    if (ext.empty()) break;
    std::string descr = ReadIniStr(section, "Beskr" + std::to_string(n), "Andre program");
    filter += descr + " (*" + ext + ")|*" + ext + "|";
  }
  return filter;
}

std::string MachineDataDir(int machineNo) {
  std::string section = MachineSection(machineNo);
  std::string own = ReadIniUpper(section, "Katalog", "");
  if (!own.empty()) return own;
  std::string sub = WithTrailingSep(JoinPath(Globals().DataKatalog, section));
  if (DirExists(sub)) return sub;
  return Globals().DataKatalog;
}

}  // namespace zova
