#pragma once
// A Raskin control: it takes a program line by line, acknowledging each
// with DLE "7", and gives one out line by line, each asked for with DLE "7",
// ending it with EOT. It keeps the standard control's commands.

#include "controls/standard_control.h"

namespace zova::sim {

class RaskinControl : public StandardControl {
 public:
  RaskinControl(SimLine& line, const SimOptions& options);

 private:
  // raskin-receive FILE [--nak-after N] [--answer BYTES] [--timeout MS]:
  // answers "R" CR and every line with DLE "7" and writes the lines (CR LF
  // after each) to FILE once EOT came. The Nth line is answered with BYTES
  // ("?") instead.
  bool ReceiveProgram(const SimCommand& cmd, std::string& error);
  // raskin-serve FILE [--expect-request TEXT] [--timeout MS]: takes a request
  // line (failing when it is not TEXT), then answers each DLE "7" with the
  // next line of FILE and CR, and the last one with EOT.
  bool ServeProgram(const SimCommand& cmd, std::string& error);

  // Reads up to CR (not kept); false when EOT (Eot set) or nothing came.
  bool ReadLine(std::string& line, int timeoutMs, bool& eot, std::string& error);
  bool ExpectPrompt(int timeoutMs, std::string& error);
};

}  // namespace zova::sim
