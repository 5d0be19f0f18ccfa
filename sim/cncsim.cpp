// cncsim: a simulated CNC control on the other end of a serial line.
// See docs/cncsim.md.

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "sim_actions.h"
#include "sim_line.h"
#include "sim_script.h"

namespace {

const char kUsage[] =
    "usage: cncsim [--tty PATH] [--link PATH] [--baud N] [--bits N] [--linger MS] [-v]\n"
    "              [--script FILE] [-e COMMAND]...\n"
    "Without --tty a pseudo-terminal pair is made and the station's path is printed.\n"
    "Without -e and --script, commands are read from standard input.\n"
    "Commands: wait-open, wait MS, send FILE, request TEXT, capture FILE, expect TEXT,\n"
    "          xon, xoff, noise N, drop, echo TEXT (see docs/cncsim.md)\n";

struct Options {
  std::string tty, link, script;
  int baud = 0, bits = 10, linger = 100;
  bool verbose = false;
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
      o.verbose = true;
    else if (a == "--tty") {
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
      o.baud = std::atoi(v.c_str());
    } else if (a == "--bits") {
      if (!value(v)) return false;
      o.bits = std::atoi(v.c_str());
    } else
      return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseArgs(argc, argv, o)) {
    std::cerr << kUsage;
    return 2;
  }
  std::vector<zova::sim::SimCommand> cmds;
  std::vector<std::string> lines = o.commands;
  if (!o.script.empty()) {
    std::ifstream in(o.script);
    if (!in) {
      std::cerr << "cncsim: cannot read " << o.script << "\n";
      return 2;
    }
    for (std::string l; std::getline(in, l);) lines.push_back(l);
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    zova::sim::SimCommand c;
    std::string error;
    if (!zova::sim::ParseCommand(lines[i], static_cast<int>(i + 1), c, error)) {
      std::cerr << "cncsim: line " << i + 1 << ": " << error << "\n";
      return 2;
    }
    if (!c.name.empty()) cmds.push_back(c);
  }
  zova::sim::SimLine line;
  std::string error;
  if (!(o.tty.empty() ? line.OpenPty(error) : line.OpenTty(o.tty, error))) {
    std::cerr << "cncsim: " << error << "\n";
    return 1;
  }
  line.SetPace(o.baud, o.bits);
  line.SetLinger(o.linger);
  if (!o.link.empty()) {
    ::unlink(o.link.c_str());
    if (::symlink(line.StationPath().c_str(), o.link.c_str()) != 0)
      std::cerr << "cncsim: cannot link " << o.link << "\n";
  }
  std::cout << line.StationPath() << std::endl;
  zova::sim::SimContext ctx{line, o.verbose, {}};
  int status = 0;
  if (lines.empty()) {
    // A person at the keyboard: one command a line, mistakes do not end it.
    int n = 0;
    for (std::string l; std::getline(std::cin, l);) {
      zova::sim::SimCommand c;
      if (!zova::sim::ParseCommand(l, ++n, c, error) || !zova::sim::RunCommand(ctx, c, error)) {
        std::cerr << "cncsim: " << error << "\n";
        error.clear();
      }
    }
  }
  for (const auto& c : cmds) {
    if (!zova::sim::RunCommand(ctx, c, error)) {
      std::cerr << "cncsim: line " << c.line << ": " << error << "\n";
      status = 1;
      break;
    }
  }
  if (!o.link.empty()) ::unlink(o.link.c_str());
  return status;
}
