#include "app/window_module.h"

#include <dlfcn.h>

#include <string>

#include "core/latin1.h"
#include "core/paths.h"
#include "core/station_log.h"

namespace zova::app {

WindowMain LoadWindowModule() {
  const std::string path = ProgramDir() + kWindowModuleName;
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = ::dlerror();
    LogStation(std::string("vinduet kan ikke lastes (") + (why ? why : path) +
               L1("); stasjonen kjører uten vindu"));
    return nullptr;
  }
  // The module stays loaded for the life of the process.
  auto entry = reinterpret_cast<WindowMain>(::dlsym(module, kWindowMainSymbol));
  if (!entry) LogStation("vinduet kan ikke lastes: " + path + " mangler inngangen sin");
  return entry;
}

}  // namespace zova::app
