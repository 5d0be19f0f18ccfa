#pragma once
// A control that sends back every byte it receives: a loopback plug at the
// far end of a line, for trying the station's line settings and pacing.
// It keeps the standard control's commands (wait-open, wait, expect, ...).

#include "controls/standard_control.h"

namespace zova::sim {

class EchoControl : public StandardControl {
 public:
  EchoControl(SimLine& line, const SimOptions& options);

 private:
  // echo-back [--quiet MS]: echoes until the station has sent nothing for
  // MS (2000). Fails when nothing came at all.
  bool EchoBack(const SimCommand& cmd, std::string& error);

  long echoed_ = 0;  // over the whole run, for -v
};

}  // namespace zova::sim
