// The cell controller's lines: framing, the split into unit, command and
// data, and the record each command makes.

#include <gtest/gtest.h>

#include "statuslog/cell/cell_line.h"

namespace zova::cell {
namespace {

std::vector<std::string> Lines(const std::string& bytes) {
  CellFramer f;
  std::vector<std::string> out;
  for (char ch : bytes)
    if (f.Feed(ch) == CellEvent::Line) out.push_back(f.Line());
  return out;
}

TEST(CellFramer, LinesBetweenStxAndCr) {
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"one line",
       "\x02"
       "CEL1WMR1234ABC\r",
       {"CEL1WMR1234ABC"}},
      {"bytes before STX are dropped",
       "junk\n\x02"
       "CEL1WMF1234\r",
       {"CEL1WMF1234"}},
      {"LF and other bytes inside are kept",
       "\x02"
       "A\nB\x03\r",
       {"A\nB\x03"}},
      {"two lines",
       "\x02"
       "A\r\x02"
       "B\r",
       {"A", "B"}},
      {"a line without STX is nothing", "CEL1WMR1234\r", {}},
      {"STX inside a line is part of it",
       "\x02"
       "A\x02"
       "B\r",
       {"A\x02"
        "B"}},
      {"no CR yet, no line",
       "\x02"
       "CEL1WMR",
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Lines(c.bytes), c.lines);
  }
}

TEST(CellFramer, ALineWithoutEndStaysBounded) {
  CellFramer f;
  f.Feed(kStx);
  for (int i = 0; i < 100000; ++i) f.Feed('X');
  EXPECT_LE(f.Line().size(), 4096u);
  EXPECT_EQ(f.Feed(kCr), CellEvent::Line);
}

TEST(SplitCellLine, UnitCommandAndData) {
  const struct {
    std::string line;
    int unitLength;
    bool ok;
    std::string unit, command, data;
  } cases[] = {
      {"CEL1WMR1234ABC", 4, true, "CEL1", "WMR", "1234ABC"},
      {"CEL1WMRX", 4, true, "CEL1", "WMR", "X"},
      {"CEL1WMR", 4, false, "", "", ""},  // unit and command, nothing more
      {"CEL", 4, false, "", "", ""},
      {"", 4, false, "", "", ""},
      {"U7WMF0042", 2, true, "U7", "WMF", "0042"},
      {"WMA12", 0, true, "", "WMA", "12"},
      {"WMA12", -5, true, "", "WMA", "12"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const CellLine l = SplitCellLine(c.line, c.unitLength);
    EXPECT_EQ(l.Ok, c.ok);
    EXPECT_EQ(l.Unit, c.unit);
    EXPECT_EQ(l.Command, c.command);
    EXPECT_EQ(l.Data, c.data);
  }
}

TEST(DecideCellCommand, StartsEndsAndTheRest) {
  const struct {
    const char* command;
    const char* data;
    bool second;
    bool handled;
    int code;
    std::string text, program;
  } cases[] = {
      {"WMR", "1234ABC", false, true, 1, "1234", "1234"},
      {"WMR", "1234ABC", true, true, 4, "1234", "1234"},
      {"WMA", "1234ABC", false, true, 1, "1234", "1234"},
      {"WMA", "1234ABC", true, false, 0, "", "1234"},
      {"WMF", "1234ABC", false, true, 2, "1", "1234"},
      {"WMF", "1234ABC", true, true, 2, "1", "1234"},
      {"WMR", "12", false, true, 1, "12", "12"},
      {"XYZ", "1234", false, false, 0, "", "1234"},
      {"wmr", "1234", false, false, 0, "", "1234"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + (c.second ? " with a second line" : ""));
    const CellRecord r = DecideCellCommand(c.command, c.data, c.second);
    EXPECT_EQ(r.Handled, c.handled);
    EXPECT_EQ(r.Code, c.code);
    EXPECT_EQ(r.Text, c.text);
    EXPECT_EQ(r.Program, c.program);
  }
}

}  // namespace
}  // namespace zova::cell
