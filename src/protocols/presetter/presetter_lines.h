#pragma once
// A presetter's output cut into lines: CR, LF or both end a line; control
// characters (STX, ETX, XON, NUL ...) around the measurement text are not
// part of it; empty lines are no lines. Pure: bytes in, lines out.

#include <string>

namespace zova {

class PresetterLines {
 public:
  // True when Ch ended a line that is now in Line().
  bool Feed(char ch);
  // The end of a transmission: true when an unterminated line was waiting.
  bool Finish();
  const std::string& Line() const { return done_; }

 private:
  std::string line_, done_;
};

}  // namespace zova
