#pragma once
// A BTR punch: it sends programs one after the other without waiting, each
// behind a feed-hole leader and between its start and stop codes. It keeps
// the standard control's commands.

#include "controls/standard_control.h"

namespace zova::sim {

class BtrControl : public StandardControl {
 public:
  BtrControl(SimLine& line, const SimOptions& options);

 private:
  // btr-punch FILES [--start CODES] [--stop CODES] [--leader N] [--end CODES]
  // [--broken CODES]: punches every file of the comma-separated FILES as
  // leader NULs + start + file + stop, back to back; then Broken (the
  // beginning of a program the punch breaks off in) and End.
  bool Punch(const SimCommand& cmd, std::string& error);
};

}  // namespace zova::sim
