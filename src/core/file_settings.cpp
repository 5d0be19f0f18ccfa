#include "core/file_settings.h"

#include "core/config/config.h"
#include "core/globals.h"
#include "core/paths.h"

namespace zova {

std::string MachineSection(int machineNo) {
  return "Maskin" + std::to_string(machineNo);
}

std::string ProgramExt() {
  return ReadIniUpper("Program", "Ext", ".NC");
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
  // A directory value ends with its separator, written or not: names are
  // appended to it.
  if (!own.empty()) return WithTrailingSep(own);
  std::string sub = WithTrailingSep(JoinPath(Globals().DataKatalog, section));
  if (DirExists(sub)) return sub;
  return Globals().DataKatalog;
}

}  // namespace zova
