#pragma once
// The input of a line whose kernel marks line errors (termios INPCK and
// PARMRK) taken apart again: 0xFF 0x00 C is C received with a framing or
// parity error (or a break), 0xFF 0xFF a real 0xFF, anything else itself.

#include <cstdint>

namespace zova {

struct MarkedChar {
  uint8_t value = 0;
  bool faulty = false;
};

class MarkedInput {
 public:
  // True when B completes a character (in Out); a mark's first bytes only
  // wait for the rest.
  bool Feed(uint8_t b, MarkedChar& out);
  // A mark has begun and is not complete.
  bool Pending() const { return state_ != State::Plain; }

 private:
  enum class State { Plain, AfterFf, AfterMark };
  State state_ = State::Plain;
};

}  // namespace zova
