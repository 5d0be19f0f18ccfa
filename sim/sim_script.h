#pragma once
// cncsim's commands: one a line in a script, or one per -e argument.
//   name arg... --option value --flag

#include <map>
#include <string>
#include <vector>

namespace zova::sim {

struct SimCommand {
  std::string name;
  std::vector<std::string> args;
  std::map<std::string, std::string> options;  // a flag has the value "1"
  int line = 0;

  bool Has(const std::string& key) const { return options.count(key) != 0; }
  std::string Opt(const std::string& key, const std::string& def = "") const;
  // Def when absent; Ok false when present and not a whole integer.
  long Num(const std::string& key, long def, bool& ok) const;
};

// Words of a line; "double quotes" keep blanks, a backslash inside them
// escapes the next character. Blank lines and lines starting with # give no
// words.
std::vector<std::string> SplitWords(const std::string& line, std::string& error);

// False with Error set for an unknown command or a missing argument.
bool ParseCommand(const std::string& line, int lineNo, SimCommand& cmd, std::string& error);

// Commands that take no options' values: their options are flags.
bool IsFlag(const std::string& option);

}  // namespace zova::sim
