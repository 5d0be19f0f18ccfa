#include <cstdio>

#include "app/subcommand.h"
#include "files/convert/convert_command.h"

static int Convert(const std::vector<std::string>& args) {
  std::vector<std::string> rest = args;
  if (!zova::app::TakeIniArgument(rest)) return 2;
  return zova::RunConvertCommand(rest, stdout, stderr);
}

ZOVA_SUBCOMMAND("convert", Convert, "convert [Zova.ini] MACHINE FILE");
