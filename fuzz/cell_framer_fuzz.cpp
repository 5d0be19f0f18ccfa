// The cell controller's lines: any bytes are taken without harm, a line sent
// as STX, text, CR comes back as its text, and a split line puts its unit,
// command and data back together as the line.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "statuslog/cell/cell_line.h"

using zova::cell::CellEvent;
using zova::cell::CellFramer;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int unitLength = data[0] % 9;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  CellFramer f;
  for (char ch : bytes)
    if (f.Feed(ch) == CellEvent::Line) {
      const zova::cell::CellLine l = zova::cell::SplitCellLine(f.Line(), unitLength);
      if (l.Ok && l.Unit + l.Command + l.Data != f.Line()) std::abort();
      if (!l.Ok && f.Line().size() >= static_cast<size_t>(unitLength) + 4) std::abort();
    }

  // Round trip: the input without its CRs, framed as the controller frames
  // a line, after whatever came before.
  std::string text;
  for (char ch : bytes)
    if (ch != '\r') text += ch;
  text = text.substr(0, 4000);
  f.Clear();
  int lines = 0;
  for (char ch : "\x02" + text + "\r")
    if (f.Feed(ch) == CellEvent::Line) {
      ++lines;
      if (f.Line() != text) std::abort();
    }
  if (lines != 1) std::abort();
  return 0;
}
