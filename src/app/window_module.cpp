#include "app/window_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "core/latin1.h"
#include "core/paths.h"
#include "core/station_log.h"

namespace zova::app {

namespace {

// An installed station keeps the module out of the program directory
// (bin/): the package puts it in lib/zova/ beside bin/.
std::string InstalledModulePath(const std::string& programDir) {
  std::string dir = programDir;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  size_t slash = dir.rfind('/');
  std::string prefix = slash == std::string::npos ? "../" : dir.substr(0, slash + 1);
  return prefix + "lib/zova/" + kWindowModuleName;
}

}  // namespace

WindowMain LoadWindowModule() {
  const std::string dir = ProgramDir();
  std::string path = dir + kWindowModuleName;
  if (::access(path.c_str(), F_OK) != 0) {
    const std::string installed = InstalledModulePath(dir);
    if (::access(installed.c_str(), F_OK) == 0) path = installed;
  }
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = ::dlerror();
    LogStationWarning(std::string("vinduet kan ikke lastes (") + (why ? why : path) +
                      L1("); stasjonen kjører uten vindu"));
    return nullptr;
  }
  // The module stays loaded for the life of the process.
  auto entry = reinterpret_cast<WindowMain>(::dlsym(module, kWindowMainSymbol));
  if (!entry) LogStationWarning("vinduet kan ikke lastes: " + path + " mangler inngangen sin");
  return entry;
}

}  // namespace zova::app
