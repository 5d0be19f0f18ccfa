#include <cstdio>

#include "app/classify_command.h"
#include "app/subcommand.h"

static int Classify(const std::vector<std::string>& args) {
  std::vector<std::string> rest = args;
  if (!zova::app::TakeIniArgument(rest)) return 2;
  return zova::RunClassifyCommand(rest, stdout, stderr);
}

ZOVA_SUBCOMMAND("classify", Classify, "classify [Zova.ini] MACHINE FILE");
