#pragma once
// The lines of a cell controller: optional bytes, STX, the line, CR. A line
// is a unit code of UnitLength characters, a three-letter command and data
// whose first four characters are the program. Pure: bytes in, lines and
// decisions out; the driver does the reads.

#include <string>
#include <string_view>

namespace zova::cell {

inline constexpr char kStx = 2;
inline constexpr char kCr = 13;

enum class CellEvent { None, Line };

class CellFramer {
 public:
  // Before STX every byte is dropped; after it every byte but CR is part of
  // the line, and CR ends it.
  CellEvent Feed(char ch);
  bool InLine() const { return inLine_; }
  const std::string& Line() const { return line_; }
  // A read failed: what came of the line is given up.
  void Clear();

 private:
  bool inLine_ = false;
  std::string line_;
};

struct CellLine {
  bool Ok = false;  // long enough: unit, command and at least one more character
  std::string Unit, Command, Data;
};

// Splits Line after UnitLength characters and then after three more.
CellLine SplitCellLine(std::string_view line, int unitLength);

struct CellRecord {
  bool Handled = false;
  int Code = 0;
  std::string Text;
  std::string Program;   // the first four characters of the data
  bool Started = false;  // a start (else a finish), for the message
};

// "WMR", or "WMA" while no second line is open: a start, code 4 with a
// second line open, else 1, the program as text. "WMF": a finish, code 2,
// text "1". Anything else is not handled.
CellRecord DecideCellCommand(std::string_view command, std::string_view data, bool secondLineOpen);

}  // namespace zova::cell
