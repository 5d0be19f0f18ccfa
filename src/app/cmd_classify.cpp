#include <cstdio>

#include "app/subcommand.h"
#include "files/namesearch/classify_command.h"

static int Classify(const std::vector<std::string>& args) {
  std::vector<std::string> rest = args;
  if (!zova::app::TakeIniArgument(rest)) return 2;
  return zova::RunClassifyCommand(rest, stdout, stderr);
}

ZOVA_SUBCOMMAND("classify", Classify, "classify [Zova.ini] MACHINE FILE");
