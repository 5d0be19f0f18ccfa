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

// What a command accepts, so that a script is refused before the line opens
// rather than half way through.
struct CommandShape {
  size_t args = 0;
  std::vector<std::string> values;  // options followed by a value: "--timeout"
  std::vector<std::string> flags;   // options standing alone: "--xon"
};

// Words of a line; "double quotes" keep blanks, a backslash inside them
// escapes the next character. Blank lines and lines starting with # give no
// words.
std::vector<std::string> SplitWords(const std::string& line, std::string& error);

// Fills Cmd's arguments and options from Words (the command's name is
// Words[0]). False with Error set for an option Shape does not know, an
// option without its value or the wrong number of arguments.
bool ParseWords(const std::vector<std::string>& words, const CommandShape& shape, SimCommand& cmd,
                std::string& error);

}  // namespace zova::sim
