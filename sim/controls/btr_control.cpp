#include "controls/btr_control.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "core/visual.h"

namespace zova::sim {

namespace {

bool Bracketed(const SimCommand& cmd, const std::string& key, const std::string& fallback,
               std::string& out, std::string& error) {
  const VisualDecoded d = DecodeVisual(cmd.Opt(key, fallback));
  if (d.error) {
    error = "btr-punch: " + key + ": bad bracket notation";
    return false;
  }
  out = d.bytes;
  return true;
}

}  // namespace

BtrControl::BtrControl(SimLine& line, const SimOptions& options) : StandardControl(line, options) {
  AddCommand({"btr-punch",
              {1, {"--start", "--stop", "--leader", "--end", "--broken"}, {}},
              true,
              Bind(&BtrControl::Punch)});
}

bool BtrControl::Punch(const SimCommand& cmd, std::string& error) {
  std::string start, stop, end, broken;
  if (!Bracketed(cmd, "--start", "%[CR][LF]", start, error) ||
      !Bracketed(cmd, "--stop", "%[CR][LF]", stop, error) ||
      !Bracketed(cmd, "--end", "", end, error) || !Bracketed(cmd, "--broken", "", broken, error))
    return false;
  bool ok = true;
  const long leader = cmd.Num("--leader", 0, ok);
  if (!ok || leader < 0) {
    error = "btr-punch: --leader takes a count";
    return false;
  }
  std::string tape;
  std::istringstream files(cmd.args[0]);
  std::string path;
  int count = 0;
  while (std::getline(files, path, ',')) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      error = "btr-punch: cannot read " + path;
      return false;
    }
    std::ostringstream body;
    body << in.rdbuf();
    tape += std::string(static_cast<size_t>(leader), '\0') + start + body.str() + stop;
    ++count;
  }
  tape += broken + end;
  if (Options().verbose) std::cerr << "cncsim: punching " << count << " programs\n";
  if (!WriteBytes(tape)) {
    error = "btr-punch: the line was dropped";
    return false;
  }
  return true;
}

}  // namespace zova::sim
