#include <cstdio>

#include "app/subcommand.h"
#include "app/tool_commands.h"

static int Offsets(const std::vector<std::string>& args) {
  std::vector<std::string> rest = args;
  if (!zova::app::TakeIniArgument(rest)) return 2;
  return zova::RunOffsetsCommand(rest, stdout, stderr);
}

ZOVA_SUBCOMMAND("offsets", Offsets, "offsets [Zova.ini] MACHINE [OUT]");
