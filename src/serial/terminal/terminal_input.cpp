#include "serial/terminal/terminal_input.h"

namespace zova {

TerminalAction ActionOfKey(uint8_t b) {
  if (b == kTerminalEsc || b == '+') return TerminalAction::Check;
  if (b == kTerminalTab || b == ',') return TerminalAction::Send;
  if (b == kTerminalDle) return TerminalAction::Print;
  return TerminalAction::None;
}

uint8_t NormalisedKey(uint8_t b) {
  if (b == '/') return '\\';
  if (b == kTerminalLf) return kTerminalCr;
  return b;
}

bool IsNameChar(uint8_t b) {
  return b == '*' || b == '-' || b == '.' || b == '?' || b == '\\' || (b >= '0' && b <= '9') ||
         (b >= 'A' && b <= 'Z');
}

int FunctionKeyOf(uint8_t b) {
  return b >= kTerminalF1 && b <= kTerminalF5 ? b - kTerminalF1 + 1 : 0;
}

KeyOutcome TerminalInput::Feed(uint8_t raw) {
  KeyOutcome out;
  out.action = ActionOfKey(raw);
  if (out.action != TerminalAction::None) return out;
  const uint8_t b = NormalisedKey(raw);
  out.echo = b == kTerminalBs || IsNameChar(b);
  out.echoByte = b;
  if (b == kTerminalBs) {
    if (position_ > 0) --position_;
  } else if (IsNameChar(b)) {
    ++position_;
    const auto at = static_cast<size_t>(position_ - 1);
    if (name_.size() > at)
      name_[at] = static_cast<char>(b);
    else
      name_ += static_cast<char>(b);
  }
  out.functionKey = FunctionKeyOf(b);
  out.end = b == kTerminalCr;
  return out;
}

}  // namespace zova
