#include <cstdio>

#include "app/subcommand.h"
#include "app/tool_commands.h"

static int Register(const std::vector<std::string>& args) {
  return zova::RunRegisterCommand(args, stdout, stderr);
}

ZOVA_SUBCOMMAND("register", Register, "register REGISTER");
