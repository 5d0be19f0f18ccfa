#include "sim_script.h"

#include <cstdlib>
#include <set>

namespace zova::sim {

namespace {

struct CommandShape {
  const char* name;
  size_t args;
};

constexpr CommandShape kCommands[] = {
    {"wait-open", 0}, {"wait", 1},    {"send", 1},   {"request", 1}, {"noise", 1}, {"xon", 0},
    {"xoff", 0},      {"capture", 1}, {"expect", 1}, {"drop", 0},    {"echo", 1},
};

}  // namespace

std::string SimCommand::Opt(const std::string& key, const std::string& def) const {
  auto it = options.find(key);
  return it == options.end() ? def : it->second;
}

long SimCommand::Num(const std::string& key, long def, bool& ok) const {
  auto it = options.find(key);
  if (it == options.end()) return def;
  char* end = nullptr;
  long v = std::strtol(it->second.c_str(), &end, 10);
  if (it->second.empty() || *end != '\0') ok = false;
  return v;
}

bool IsFlag(const std::string& option) {
  static const std::set<std::string> flags = {"--xon", "--no-xoff", "--paced"};
  return flags.count(option) != 0;
}

std::vector<std::string> SplitWords(const std::string& line, std::string& error) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size() || (words.empty() && line[i] == '#')) break;
    std::string w;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t' && line[i] != '\r'))) {
      char c = line[i++];
      if (c == '"') {
        quoted = !quoted;
      } else if (quoted && c == '\\' && i < line.size()) {
        w += line[i++];
      } else {
        w += c;
      }
    }
    if (quoted) {
      error = "unterminated quote";
      return {};
    }
    words.push_back(w);
  }
  return words;
}

bool ParseCommand(const std::string& line, int lineNo, SimCommand& cmd, std::string& error) {
  cmd = SimCommand{};
  cmd.line = lineNo;
  std::vector<std::string> words = SplitWords(line, error);
  if (!error.empty()) return false;
  if (words.empty()) return true;
  cmd.name = words[0];
  const CommandShape* shape = nullptr;
  for (const auto& s : kCommands)
    if (cmd.name == s.name) shape = &s;
  if (!shape) {
    error = "unknown command '" + cmd.name + "'";
    return false;
  }
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() > 2 && w.compare(0, 2, "--") == 0) {
      if (IsFlag(w)) {
        cmd.options[w] = "1";
      } else if (i + 1 < words.size()) {
        cmd.options[w] = words[++i];
      } else {
        error = "option " + w + " needs a value";
        return false;
      }
    } else {
      cmd.args.push_back(w);
    }
  }
  if (cmd.args.size() != shape->args) {
    error = cmd.name + " takes " + std::to_string(shape->args) + " argument(s)";
    return false;
  }
  return true;
}

}  // namespace zova::sim
