#pragma once
// What the shop-floor terminal's keys do while an operator types a program
// name: the input editing and the key mapping, bytes in and decisions out.
// The driver reads the line and shows the results.

#include <cstdint>
#include <string>

namespace zova {

inline constexpr uint8_t kTerminalEsc = 27;
inline constexpr uint8_t kTerminalTab = 9;
inline constexpr uint8_t kTerminalDle = 16;
inline constexpr uint8_t kTerminalCr = 13;
inline constexpr uint8_t kTerminalLf = 10;
inline constexpr uint8_t kTerminalBs = 8;
// Function keys 1 to 5 send 17 to 21.
inline constexpr uint8_t kTerminalF1 = 17;
inline constexpr uint8_t kTerminalF5 = 21;

// The orders a single key gives about the target machine's chosen file.
enum class TerminalAction { None, Check, Send, Print };

TerminalAction ActionOfKey(uint8_t b);
// "/" and LF as the dialogue takes them ("\" and CR).
uint8_t NormalisedKey(uint8_t b);
// Characters that may stand in a typed program name.
bool IsNameChar(uint8_t b);
// 1 to 5 for a function key, else 0.
int FunctionKeyOf(uint8_t b);

// What one key did to the typed name.
struct KeyOutcome {
  TerminalAction action = TerminalAction::None;
  int functionKey = 0;  // 1..5
  bool end = false;     // CR (or LF)
  bool echo = false;    // EchoByte goes back to the terminal
  uint8_t echoByte = 0;
  // The dialogue is over: an action, a function key or the end of input.
  bool Finished() const { return action != TerminalAction::None || functionKey != 0 || end; }
};

// The typed name and the input position. BS moves the position back without
// deleting; a later character overwrites what stands there.
class TerminalInput {
 public:
  KeyOutcome Feed(uint8_t b);
  const std::string& Name() const { return name_; }
  int Position() const { return position_; }

 private:
  std::string name_;
  int position_ = 0;
};

}  // namespace zova
