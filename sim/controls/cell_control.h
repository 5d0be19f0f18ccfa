#pragma once
// A cell controller: it reports its machines' program starts and ends as
// lines STX, unit code, three-letter command, data, CR on its first line
// ("MC") and, when it has one, its second ("DM"). It reads nothing. It keeps
// the standard control's commands (wait-open, wait, request for raw bytes).

#include <string>

#include "controls/standard_control.h"

namespace zova::sim {

class CellControl : public StandardControl {
 public:
  CellControl(SimLine& line, const SimOptions& options);

 private:
  // second-line LINK: makes the second line, a pseudo-terminal whose
  // station end LINK names; prints "second-line: PATH".
  bool SecondLine(const SimCommand& cmd, std::string& error);
  // cell-line TEXT [--second] [--bare]: sends STX, TEXT (bracket notation)
  // and CR on the first or second line; --bare sends TEXT alone.
  bool CellLine(const SimCommand& cmd, std::string& error);

  SimLine second_;
};

}  // namespace zova::sim
