#pragma once
// A control that announces itself with DC2 (18): before it reads a program it
// waits for the station's DC2 and lets it go with XON (17); before it punches
// one it sends DC2 and waits for the station's XON. It keeps the standard
// and BTR commands.

#include "controls/btr_control.h"

namespace zova::sim {

class Dc2Control : public BtrControl {
 public:
  Dc2Control(SimLine& line, const SimOptions& options);

 private:
  // dc2-receive FILE [--timeout MS] [--no-xon] [--until CODES] [--quiet MS]:
  // waits up to Timeout for DC2 (other bytes before it are dropped), answers
  // XON unless told not to, then captures the program into FILE as capture
  // does.
  bool Receive(const SimCommand& cmd, std::string& error);
  // dc2-punch FILES [--timeout MS] [btr-punch options]: sends DC2 once a
  // second until the station answers XON (within Timeout), then punches as
  // btr-punch.
  bool Punch(const SimCommand& cmd, std::string& error);
};

}  // namespace zova::sim
