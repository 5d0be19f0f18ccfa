#pragma once
// A logging box: a unit that watches sixteen signals of a machine and
// reports them to the station as STX, four hexadecimal digits, ETX. It
// answers ENQ with a report, takes an inversion mask as STX, mask, ETX, and
// announces its own reset with ENQ. It keeps the standard control's commands
// (wait-open, wait, request for raw bytes, ...).

#include <cstdint>
#include <string>

#include "controls/standard_control.h"

namespace zova::sim {

class BoxControl : public StandardControl {
 public:
  BoxControl(SimLine& line, const SimOptions& options);

 private:
  // box-serve MS [--word HEX]: answers every ENQ with a report of the word
  // for MS milliseconds and takes masks; prints "box: mask TEXT" for each
  // and "box-serve: N reports" at the end.
  bool Serve(const SimCommand& cmd, std::string& error);
  // box-set HEX [--serve MS]: the signals change to HEX, which the box
  // reports at once; then serves for MS (0).
  bool Set(const SimCommand& cmd, std::string& error);
  // box-reset [--serve MS]: the box restarts and says so with ENQ; then
  // serves for MS (0).
  bool Reset(const SimCommand& cmd, std::string& error);
  // box-silent MS: a box that lost power: reads and answers nothing for MS;
  // prints "box-silent: N ENQ".
  bool Silent(const SimCommand& cmd, std::string& error);
  // wait-file PATH [--timeout MS]: waits until PATH exists (10000 ms), so a
  // script can wait for its harness; nothing on the line is answered
  // meanwhile.
  bool WaitFile(const SimCommand& cmd, std::string& error);

  bool ServeFor(long ms, std::string& error);
  bool Report(std::string& error);
  bool Word(const std::string& text, std::string& error);

  uint16_t word_ = 0;
  // A mask telegram being read: STX came, ETX not yet.
  bool inMask_ = false;
  std::string mask_;
};

}  // namespace zova::sim
