#pragma once
// The display of a small shop-floor terminal as the bytes from the station
// draw it: ESC "L" clears the display, ESC "J" homes the cursor, CR goes to
// the start of the line, LF to the next line (scrolling at the bottom), BS
// one place back; other bytes stand where the cursor is and move it on,
// wrapping at the last column.

#include <cstdint>
#include <string>
#include <vector>

namespace zova::sim {

class TerminalScreen {
 public:
  explicit TerminalScreen(int lines = 4, int columns = 40);

  void Feed(const std::string& bytes);
  // The display lines, trailing blanks removed.
  std::vector<std::string> Lines() const;
  // True when one display line holds Text.
  bool Shows(const std::string& text) const;
  // The lines joined by "|", for messages.
  std::string Summary() const;
  int Row() const { return row_; }
  int Column() const { return col_; }

 private:
  void Put(char c);
  void NextLine();

  int lines_, columns_;
  std::vector<std::string> rows_;
  int row_ = 0, col_ = 0;
  bool escape_ = false;
};

}  // namespace zova::sim
