// cncsim: a simulated CNC control on the other end of a serial line.
// See docs/cncsim.md.

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "controls/control_registry.h"
#include "sim_control.h"
#include "sim_line.h"

namespace {

const char kUsage[] =
    "usage: cncsim [--control NAME] [--tty PATH] [--link PATH] [--baud N] [--bits N]\n"
    "              [--linger MS] [-v] [--script FILE] [-e COMMAND]...\n"
    "Without --tty a pseudo-terminal pair is made and the station's path is printed.\n"
    "Without -e and --script, commands are read from standard input.\n"
    "Commands of the standard control: wait-open, wait MS, send FILE, request TEXT,\n"
    "          capture FILE, expect TEXT, xon, xoff, noise N, drop, echo TEXT\n"
    "          (see docs/cncsim.md)\n";

struct Options {
  std::string control = "standard";
  std::string tty, link, script;
  zova::sim::SimOptions sim;
  std::vector<std::string> commands;
};

bool ParseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "-v")
      o.sim.verbose = true;
    else if (a == "--control") {
      if (!value(o.control)) return false;
    } else if (a == "--tty") {
      if (!value(o.tty)) return false;
    } else if (a == "--link") {
      if (!value(o.link)) return false;
    } else if (a == "--script") {
      if (!value(o.script)) return false;
    } else if (a == "-e") {
      if (!value(v)) return false;
      o.commands.push_back(v);
    } else if (a == "--baud") {
      if (!value(v)) return false;
      o.sim.baud = std::atoi(v.c_str());
    } else if (a == "--bits") {
      if (!value(v)) return false;
      o.sim.bits = std::atoi(v.c_str());
    } else if (a == "--linger") {
      if (!value(v)) return false;
      o.sim.linger = std::atoi(v.c_str());
    } else
      return false;
  }
  return true;
}

// The -e commands, then the script file's lines; false when the file cannot
// be read.
bool ScriptLines(const Options& o, std::vector<std::string>& lines) {
  lines = o.commands;
  if (o.script.empty()) return true;
  std::ifstream in(o.script);
  if (!in) {
    std::cerr << "cncsim: cannot read " << o.script << "\n";
    return false;
  }
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return true;
}

// A person at the keyboard: one command a line, mistakes do not end it.
void RunTyped(zova::sim::SimControl& control) {
  int n = 0;
  std::string error;
  for (std::string l; std::getline(std::cin, l);) {
    zova::sim::SimCommand c;
    if (!control.Parse(l, ++n, c, error) || !control.Run(c, error)) {
      std::cerr << "cncsim: " << error << "\n";
      error.clear();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseArgs(argc, argv, o)) {
    std::cerr << kUsage;
    return 2;
  }
  zova::sim::SimLine line;
  auto control = zova::sim::MakeControl(o.control, line, o.sim);
  if (!control) {
    std::cerr << "cncsim: unknown control '" << o.control
              << "'; known controls: " << zova::sim::KnownControlNames() << "\n";
    return 2;
  }
  std::vector<std::string> lines;
  if (!ScriptLines(o, lines)) return 2;
  std::vector<zova::sim::SimCommand> cmds;
  for (size_t i = 0; i < lines.size(); ++i) {
    zova::sim::SimCommand c;
    std::string error;
    if (!control->Parse(lines[i], static_cast<int>(i + 1), c, error)) {
      std::cerr << "cncsim: line " << i + 1 << ": " << error << "\n";
      return 2;
    }
    if (!c.name.empty()) cmds.push_back(c);
  }
  std::string error;
  if (!(o.tty.empty() ? line.OpenPty(error) : line.OpenTty(o.tty, error))) {
    std::cerr << "cncsim: " << error << "\n";
    return 1;
  }
  line.SetPace(o.sim.baud, o.sim.bits);
  line.SetLinger(o.sim.linger);
  if (!o.link.empty()) {
    ::unlink(o.link.c_str());
    if (::symlink(line.StationPath().c_str(), o.link.c_str()) != 0)
      std::cerr << "cncsim: cannot link " << o.link << "\n";
  }
  std::cout << line.StationPath() << std::endl;
  if (lines.empty()) RunTyped(*control);
  int status = 0;
  for (const auto& c : cmds) {
    if (!control->Run(c, error)) {
      std::cerr << "cncsim: line " << c.line << ": " << error << "\n";
      status = 1;
      break;
    }
  }
  if (!o.link.empty()) ::unlink(o.link.c_str());
  return status;
}
