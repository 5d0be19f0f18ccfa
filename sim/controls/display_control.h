#pragma once
// A message display on a serial line, showing what it is sent: a character
// display of a few lines (ESC "@" resets it, ESC "R" n picks the national
// character set, 9 the Norwegian one; FF clears it, CR and LF move the
// cursor, US and a letter set a mode; a line full of text scrolls up) or a
// line display that shows the text of "#ER " between "#ST" and "#EN" lines.
// It keeps the standard control's commands.

#include <string>
#include <string_view>
#include <vector>

#include "controls/standard_control.h"

namespace zova::sim {

// The display's glyphs for the bytes it is sent, as UTF-8.
enum class DisplayCharset {
  Own,  // its own codes for the Norwegian letters (197 æ, 207 ø, 196 å, 165 Æ, 175 Ø, 164 Å)
  Norsk,  // always the Norwegian ISO 646 set ("{" æ, "|" ø, "}" å, "[" Æ, "\" Ø, "]" Å)
};

// What a character display shows after the bytes it was sent.
class CharacterScreen {
 public:
  CharacterScreen(int columns, int lines, DisplayCharset charset);
  void Feed(std::string_view bytes);
  // Each line as a person reads it (UTF-8), blanks at the end left out.
  std::vector<std::string> Lines() const;

 private:
  void Put(char ch);
  void Reset();
  void NewLine();

  size_t columns_;
  DisplayCharset charset_;
  bool norwegian_ = false;  // ESC "R" 9
  std::vector<std::string> rows_;
  size_t row_ = 0, col_ = 0;
  std::string pending_;  // an escape sequence not yet whole
};

// The messages a line display showed ("#EN" completes each).
std::vector<std::string> LineDisplayMessages(std::string_view bytes, DisplayCharset charset);

class DisplayControl : public StandardControl {
 public:
  DisplayControl(SimLine& line, const SimOptions& options);

 private:
  // display-show [--kind char|line] [--columns N] [--lines N] [--charset own|norsk]
  // [--first MS] [--quiet MS] [--expect TEXT]: takes what comes (the first
  // byte within First, 10000 ms, then until Quiet, 1000 ms, without one),
  // prints what the display shows, a line of output for each of its lines
  // ("display line N: TEXT") or each message ("display: TEXT"), and fails
  // unless one of them, without its leading and trailing blanks, is TEXT.
  bool Show(const SimCommand& cmd, std::string& error);
};

}  // namespace zova::sim
