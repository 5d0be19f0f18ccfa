#pragma once
// A tool presetter: after a tool is measured it sends one text line with the
// tool number, the system (adapter, group) number, the radius or diameter X
// and the length Z, each after the labels of the presetter's make, and CR
// LF. It reads nothing. It keeps the standard control's commands.

#include <string>

#include "controls/standard_control.h"

namespace zova::sim {

class PresetterControl : public StandardControl {
 public:
  PresetterControl(SimLine& line, const SimOptions& options);

  // The line a presetter of Make sends ("microset", "komeg", "zoller",
  // "bodmer", "kelch", "pwb", "toolset", "toolmaster250"); X and Z as the
  // presetter prints them ("25,004"). Empty for an unknown make.
  static std::string MeasurementLine(const std::string& make, const std::string& tool,
                                     const std::string& system, const std::string& x,
                                     const std::string& z, bool diameter);

 private:
  // preset-tool MAKE --tool N --system N --x X --z Z [--diameter]
  bool Tool(const SimCommand& cmd, std::string& error);
  // preset-line TEXT: TEXT (bracket notation) and CR LF.
  bool Line(const SimCommand& cmd, std::string& error);
};

}  // namespace zova::sim
