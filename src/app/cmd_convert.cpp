#include <cstdio>

#include "app/convert_command.h"
#include "app/subcommand.h"

static int Convert(const std::vector<std::string>& args) {
  std::vector<std::string> rest = args;
  if (!zova::app::TakeIniArgument(rest)) return 2;
  return zova::RunConvertCommand(rest, stdout, stderr);
}

ZOVA_SUBCOMMAND("convert", Convert, "convert [Zova.ini] MACHINE FILE");
