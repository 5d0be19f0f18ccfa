#pragma once
// What each cncsim command does on the line.

#include <string>

#include "sim_line.h"
#include "sim_script.h"

namespace zova::sim {

struct SimContext {
  SimLine& line;
  bool verbose = false;
  std::string received;  // everything read by expect, for later expects
};

// False with Error set when the command failed; the run then stops.
bool RunCommand(SimContext& ctx, const SimCommand& cmd, std::string& error);

}  // namespace zova::sim
