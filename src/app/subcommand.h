#pragma once
// Subcommands of zova for people who set up machines ("zova classify ...").
// Each lives in its own file of this folder and registers itself:
//
//   static int Classify(const std::vector<std::string>& args);
//   ZOVA_SUBCOMMAND("classify", Classify, "classify [Zova.ini] MACHINE FILE");
//
// Args are the words after the subcommand. Errors: one line on standard
// error and exit code 2.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zova::app {

using SubcommandFn = std::function<int(const std::vector<std::string>&)>;

struct Subcommand {
  SubcommandFn run;
  std::string usage;
};

std::map<std::string, Subcommand>& Subcommands();

struct SubcommandRegistration {
  SubcommandRegistration(const char* name, SubcommandFn fn, const char* usage) {
    Subcommands()[name] = Subcommand{std::move(fn), usage};
  }
};

// Splits the optional leading Zova.ini argument off Args and makes it (or the
// located default) the active configuration file. False with a message on
// standard error when the file does not exist.
bool TakeIniArgument(std::vector<std::string>& args);

}  // namespace zova::app

#define ZOVA_SUBCOMMAND_CAT2(a, b) a##b
#define ZOVA_SUBCOMMAND_CAT(a, b) ZOVA_SUBCOMMAND_CAT2(a, b)
#define ZOVA_SUBCOMMAND(name, fn, usage)                                                          \
  static ::zova::app::SubcommandRegistration ZOVA_SUBCOMMAND_CAT(subcommand_, __LINE__)(name, fn, \
                                                                                        usage)
