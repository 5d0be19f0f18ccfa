#pragma once
// Finding Zova.ini and the station-wide settings at start-up.

#include <string>

namespace zova {

struct RegistrySettings {
  bool opened = false;
  std::string iniFil, exeKatalog, dataKatalog;
};

// /etc/zova/registry.ini (machine-wide, first) or ~/.config/zova/registry.ini,
// section [Zova]; ZOVA_SYSTEM_REGISTRY / ZOVA_USER_REGISTRY override the paths.
std::string SystemRegistryPath();
std::string UserRegistryPath();
RegistrySettings ReadRegistrySettings(const std::string& exeBaseName);

// Fills IniFil, ExeKatalog and DataKatalog. FirstArg is the first
// command-line argument (may be empty); ProgramDir the executable's directory.
void LocateIniFile(const std::string& firstArg, const std::string& programDir,
                   const std::string& exeBaseName = "zova");
// LocateIniFile, then TestModus, SysExt, ForInst, SendToMachine and Debug. A
// configuration file that cannot be read is told once in an "Advarsel" notice.
void LoadProgramSettings(const std::string& firstArg, const std::string& programDir);

// Per-user integers of the window (column widths), [Personal\<exe>] of the user file.
int ReadPersonalInt(const std::string& name, int def, const std::string& exeBaseName = "zova");
void WritePersonalInt(const std::string& name, int value, const std::string& exeBaseName = "zova");

// Busy-wait calibrated to the machine: rounds of a 1000-step counting loop.
void DelayLoop(int n);
// DelayLoop(1) calls that fit into 1000 ms of TheClock(), at least 100.
int CalibrateDelay();

}  // namespace zova
