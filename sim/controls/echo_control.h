#pragma once
// A control on an echo line: whatever end receives a character writes it
// back, and the sending end waits for that echo before its next character.
// Without its own commands it is a loopback plug at the far end of a line,
// for trying the station's line settings and pacing. It keeps the standard
// control's commands (wait-open, wait, expect, ...).

#include "controls/standard_control.h"

namespace zova::sim {

class EchoControl : public StandardControl {
 public:
  EchoControl(SimLine& line, const SimOptions& options);

 private:
  // echo-back [--quiet MS]: echoes until the station has sent nothing for
  // MS (2000). Fails when nothing came at all.
  bool EchoBack(const SimCommand& cmd, std::string& error);
  // echo-receive FILE [--ask CODES] [--until CODES] [--quiet MS] [--first MS]
  // [--wrong-at N] [--silent-at N]: takes a program from the station, echoing
  // every byte, into FILE. Ask is sent first (a control asking for a
  // program). It ends at the codes Until once a byte came before them, after
  // Quiet ms without a byte (2000), or when nothing came within First ms
  // (10000; then it fails). The Nth byte that comes is echoed as another
  // byte (WrongAt), or is taken as lost on the line: neither echoed nor kept
  // (SilentAt).
  bool ReceiveEchoing(const SimCommand& cmd, std::string& error);
  // echo-send FILE [--start CODES] [--stop CODES] [--timeout MS]: sends Start,
  // the file and Stop one byte at a time, each after the station has echoed
  // the one before within Timeout ms (10000). Fails at an echo that differs
  // or does not come.
  bool SendEchoed(const SimCommand& cmd, std::string& error);

  long echoed_ = 0;  // over the whole run, for -v
};

}  // namespace zova::sim
