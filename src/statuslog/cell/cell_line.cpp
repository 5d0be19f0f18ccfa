#include "statuslog/cell/cell_line.h"

#include <algorithm>

namespace zova::cell {

namespace {

// A controller that never sends CR cannot make the line grow without end.
constexpr size_t kMaxLine = 4096;

}  // namespace

CellEvent CellFramer::Feed(char ch) {
  if (!inLine_) {
    if (ch == kStx) {
      inLine_ = true;
      line_.clear();
    }
    return CellEvent::None;
  }
  if (ch == kCr) {
    inLine_ = false;
    return CellEvent::Line;
  }
  if (line_.size() < kMaxLine) line_ += ch;
  return CellEvent::None;
}

void CellFramer::Clear() {
  inLine_ = false;
  line_.clear();
}

CellLine SplitCellLine(std::string_view line, int unitLength) {
  CellLine out;
  const size_t unit = unitLength > 0 ? static_cast<size_t>(unitLength) : 0;
  if (line.size() < unit + 4) return out;
  out.Ok = true;
  out.Unit.assign(line.data(), unit);
  out.Command.assign(line.data() + unit, 3);
  out.Data.assign(line.data() + unit + 3, line.size() - unit - 3);
  return out;
}

CellRecord DecideCellCommand(std::string_view command, std::string_view data, bool secondLineOpen) {
  CellRecord r;
  r.Program.assign(data.data(), std::min<size_t>(data.size(), 4));
  if (command == "WMR" || (command == "WMA" && !secondLineOpen)) {
    r.Handled = r.Started = true;
    r.Code = secondLineOpen ? 4 : 1;
    r.Text = r.Program;
  } else if (command == "WMF") {
    r.Handled = true;
    r.Code = 2;
    r.Text = "1";
  }
  return r;
}

}  // namespace zova::cell
