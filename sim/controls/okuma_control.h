#pragma once
// An Okuma control: a program it reads must come behind its file-name
// header, "$" NAME padded with four blanks (three NULs after it, or three
// NULs before the "$" on a line with a feed-hole leader); it punches
// programs as a BTR punch does, their comments in parentheses; and it
// prints through the line: ESC, the printer's data, a form feed. It keeps
// the standard and BTR commands.

#include "controls/btr_control.h"

namespace zova::sim {

class OkumaControl : public BtrControl {
 public:
  OkumaControl(SimLine& line, const SimOptions& options);

  // The header the control expects for Name with Padding ("blanks", "nuls"
  // or "leader"); empty for a padding it does not know.
  static std::string Header(const std::string& name, const std::string& padding);

 private:
  // okuma-receive FILE --name NAME [--padding blanks|nuls|leader]
  // [--timeout MS] [--until CODES] [--quiet MS]: the station's first bytes
  // (within Timeout) must be the header of NAME, byte for byte; what follows
  // goes into FILE up to and with Until, or until Quiet ms pass without a
  // byte (2000).
  bool Receive(const SimCommand& cmd, std::string& error);
  // okuma-print FILE [--no-ff]: sends ESC "@" (the printer's reset), the
  // file and a form feed (left out with --no-ff: the print then ends by
  // silence).
  bool Print(const SimCommand& cmd, std::string& error);

  bool TakeHeader(const std::string& want, long timeout, std::string& error);
  bool TakeProgram(const std::string& until, long quiet, std::string& program);
};

}  // namespace zova::sim
