#include "app/subcommand.h"

#include <cstdio>

#include "core/globals.h"
#include "core/latin1.h"
#include "core/paths.h"
#include "core/startup.h"

namespace zova::app {

std::map<std::string, Subcommand>& Subcommands() {
  static std::map<std::string, Subcommand> commands;
  return commands;
}

bool TakeIniArgument(std::vector<std::string>& args) {
  std::string first;
  if (!args.empty() && EndsWithNoCase(args[0], ".ini")) {
    first = args[0];
    args.erase(args.begin());
    if (!FileExists(first)) {
      std::fprintf(stderr, "zova: finner ikke %s\n", first.c_str());
      return false;
    }
  }
  LoadProgramSettings(first, ProgramDir());
  if (!FileExists(Globals().IniFil)) {
    std::fprintf(stderr, "zova: finner ikke ini-filen %s\n", Globals().IniFil.c_str());
    return false;
  }
  return true;
}

}  // namespace zova::app
