#include "serial/baud/marked_input.h"

namespace zova {

bool MarkedInput::Feed(uint8_t b, MarkedChar& out) {
  switch (state_) {
    case State::Plain:
      if (b == 0xFF) {
        state_ = State::AfterFf;
        return false;
      }
      out = {b, false};
      return true;
    case State::AfterFf:
      if (b == 0x00) {
        state_ = State::AfterMark;
        return false;
      }
      // Only 0xFF may follow a lone 0xFF from the kernel; anything else is
      // taken as it came rather than lost.
      state_ = State::Plain;
      out = {b == 0xFF ? uint8_t{0xFF} : b, false};
      return true;
    case State::AfterMark:
      state_ = State::Plain;
      out = {b, true};
      return true;
  }
  return false;
}

}  // namespace zova
