#include "sim_script.h"

#include <algorithm>
#include <cstdlib>

namespace zova::sim {

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& word) {
  return std::find(list.begin(), list.end(), word) != list.end();
}

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

bool ParseWords(const std::vector<std::string>& words, const CommandShape& shape, SimCommand& cmd,
                std::string& error) {
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() <= 2 || w.compare(0, 2, "--") != 0) {
      cmd.args.push_back(w);
    } else if (Contains(shape.flags, w)) {
      cmd.options[w] = "1";
    } else if (!Contains(shape.values, w)) {
      error = cmd.name + ": unknown option " + w;
      return false;
    } else if (i + 1 < words.size()) {
      cmd.options[w] = words[++i];
    } else {
      error = "option " + w + " needs a value";
      return false;
    }
  }
  if (cmd.args.size() != shape.args) {
    error = cmd.name + " takes " + std::to_string(shape.args) + " argument(s)";
    return false;
  }
  return true;
}

}  // namespace zova::sim
