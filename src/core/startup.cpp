#include "core/startup.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "core/clock.h"
#include "core/config/config.h"
#include "core/config/profile_file.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/numparse.h"
#include "core/paths.h"
#include "core/uihost.h"

namespace zova {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

std::string SystemRegistryPath() {
  std::string p = Env("ZOVA_SYSTEM_REGISTRY");
  return p.empty() ? "/etc/zova/registry.ini" : p;
}

std::string UserRegistryPath() {
  std::string p = Env("ZOVA_USER_REGISTRY");
  if (!p.empty()) return p;
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty()) config = HomeDir() + ".config";
  return WithTrailingSep(config) + "zova/registry.ini";
}

RegistrySettings ReadRegistrySettings(const std::string& exeBaseName) {
  RegistrySettings r;
  for (const std::string& path : {SystemRegistryPath(), UserRegistryPath()}) {
    ProfileFile& file = ProfileAt(path);
    if (!file.Exists() || !file.HasSection("Zova")) continue;
    r.opened = true;
    r.iniFil = file.Read("Zova", exeBaseName).value_or("");
    if (r.iniFil.empty()) r.iniFil = file.Read("Zova", "INI-Fil").value_or("");
    r.exeKatalog = file.Read("Zova", "ExeKatalog").value_or("");
    r.dataKatalog = file.Read("Zova", "DataKatalog").value_or("");
    break;
  }
  return r;
}

void LocateIniFile(const std::string& firstArg, const std::string& programDir,
                   const std::string& exeBaseName) {
  ProgramGlobals& g = Globals();
  RegistrySettings reg = ReadRegistrySettings(exeBaseName);
  g.IniFil = reg.iniFil;
  g.ExeKatalog = reg.exeKatalog;
  g.DataKatalog = reg.dataKatalog;
  if (g.IniFil.empty()) g.IniFil = DefaultIniPath();
  if (g.IniFil.find_first_of("\\/") == std::string::npos) g.IniFil = JoinPath(programDir, g.IniFil);
  if (!FileExists(g.IniFil) && FileExists(JoinPath(programDir, "Zova.ini")))
    g.IniFil = JoinPath(programDir, "Zova.ini");
  if (EndsWithNoCase(firstArg, ".ini") && FileExists(firstArg)) g.IniFil = firstArg;
  if (g.ExeKatalog.empty()) g.ExeKatalog = programDir;
  g.ExeKatalog = WithTrailingSep(ReadIniUpper("Program", "ExeKatalog", g.ExeKatalog));
  if (g.DataKatalog.empty()) g.DataKatalog = g.ExeKatalog;
  g.DataKatalog = WithTrailingSep(g.DataKatalog);
}

void LoadProgramSettings(const std::string& firstArg, const std::string& programDir) {
  LocateIniFile(firstArg, programDir);
  ProgramGlobals& g = Globals();
  int fd = ::open(FsPath(g.IniFil).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    ShowNotice("Advarsel", L1("Kan ikke lese ini-filen ") + g.IniFil +
                               L1(" - stasjonen bruker standardverdier"));
  else
    ::close(fd);
  g.TestModus = ReadIniBool("Program", "TestModus", false);
  g.SysExt = ReadIniUpper("Program", "SysExt", ".SPR");
  g.ForInst = ReadIniInt("Program", "ForInst", 0);
  g.SendToMachine = 0;
  g.Debug = ReadIniBool("TextUtil", "Debug", false);
}

int ReadPersonalInt(const std::string& name, int def, const std::string& exeBaseName) {
  auto v = ProfileAt(UserRegistryPath()).Read("Personal\\" + exeBaseName, name);
  if (!v) return def;
  return ParseInteger(*v).value_or(def);
}

void WritePersonalInt(const std::string& name, int value, const std::string& exeBaseName) {
  std::string path = UserRegistryPath();
  ForceDirectories(DirOf(path));
  ProfileAt(path).Write("Personal\\" + exeBaseName, name, std::to_string(value));
}

void DelayLoop(int n) {
  for (int round = 0; round < n; ++round) {
    volatile int counter = 0;
    for (int i = 0; i < 1000; ++i) counter = counter + 1;
  }
}

int CalibrateDelay() {
  Clock& clock = TheClock();
  int64_t end = clock.TickMs() + 1000;
  int count = 0;
  while (clock.TickMs() < end) {
    DelayLoop(1);
    ++count;
  }
  return count < 100 ? 100 : count;
}

}  // namespace zova
