#pragma once
// A shop-floor text terminal on the station's line: a few display lines
// drawn by what the station sends, and a keyboard that sends capital
// letters, digits, a few signs, CR, BS, ESC, TAB, DLE and function keys 1 to
// 5 as the bytes 17 to 21. Scripted, or typed by a person (interactive).
// It keeps the standard control's commands (wait-open, wait, expect, ...).

#include "controls/standard_control.h"
#include "controls/terminal_screen.h"

namespace zova::sim {

// The terminal's codes for what a person types on a PC keyboard: capitals,
// CR for Enter, BS for Backspace, F1 to F5 (their VT100 sequences) as 17 to
// 21; Ctrl-P is DLE as it is.
std::string TerminalKeyCodes(const std::string& typed);

class TerminalControl : public StandardControl {
 public:
  TerminalControl(SimLine& line, const SimOptions& options);

 private:
  // display LINES [--columns N]: the size of the display (4 x 40); clears it.
  bool Display(const SimCommand& cmd, std::string& error);
  // keys TEXT [--gap MS]: presses the keys TEXT names (bracket notation:
  // "P12[CR]", "[9]" for TAB, "[17]" for F1), MS apart (50).
  bool Keys(const SimCommand& cmd, std::string& error);
  // screen TEXT [--timeout MS]: waits until a display line holds TEXT
  // (10 s); fails naming what the display shows.
  bool Screen(const SimCommand& cmd, std::string& error);
  // screen-file FILE: the display lines, one a line, into FILE.
  bool ScreenFile(const SimCommand& cmd, std::string& error);
  // received FILE: every byte the station sent so far, as it came.
  bool ReceivedFile(const SimCommand& cmd, std::string& error);
  // interactive: the keyboard of the terminal is this program's standard
  // input; the display is drawn on standard output. Ctrl-D ends it.
  bool Interactive(const SimCommand& cmd, std::string& error);

  // Takes what the station sent within TimeoutMs onto the display; false
  // when the line is gone.
  bool Pump(int timeoutMs);
  void Draw() const;

  TerminalScreen screen_;
  std::string all_;
};

}  // namespace zova::sim
