// The console under the grid: holding, colours, line breaks on CR/LF, the
// wrap at 80 columns, scrolling by the scroll step and the display notation.

#include "core/model/console_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/latin1.h"
#include "core/visual.h"

namespace zova {
namespace {

std::string Shown(uint8_t b) {
  std::string s;
  AppendConsoleNotation(s, b);
  return s;
}

// Fills the console with lines "L1" .. "LN", each ended by NewLine.
void WriteLines(ConsoleModel& c, int count) {
  for (int i = 1; i <= count; ++i) {
    c.WriteText("L" + std::to_string(i));
    c.NewLine();
  }
}

TEST(ConsoleNotation, ControlBytesByNameHighBytesByNumberNorwegianLettersAsThemselves) {
  struct Case {
    int byte;
    const char* shown;  // UTF-8 in the source, Latin-1 in the console
  } cases[] = {
      {0, "[NUL]"},    {13, "[CR]"},    {10, "[LF]"},    {17, "[XON]"},  {19, "[XOFF]"},
      {31, "[US]"},    {'[', "[91]"},   {']', "[93]"},   {'!', "!"},     {'#', "#"},
      {'@', "@"},      {' ', " "},      {'A', "A"},      {'~', "~"},     {127, "[127]"},
      {0xC7, "[199]"}, {0xA3, "[163]"}, {0xA7, "[167]"}, {255, "[255]"}, {0xC5, "Å"},
      {0xC6, "Æ"},     {0xD8, "Ø"},     {0xE5, "å"},     {0xE6, "æ"},    {0xF8, "ø"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.byte);
    EXPECT_EQ(Shown(static_cast<uint8_t>(c.byte)), L1(c.shown));
  }
}

TEST(ConsoleScroll, StepIsLimitedToOneToEight) {
  struct Case {
    int asked, step;
  } cases[] = {{0, 1}, {-3, 1}, {1, 1}, {4, 4}, {8, 8}, {12, 8}};
  for (const Case& c : cases) {
    ConsoleModel console;
    console.SetScroll(c.asked);
    EXPECT_EQ(console.ScrollStep(), c.step) << c.asked;
  }
  EXPECT_EQ(ConsoleModel().ScrollStep(), 4);
}

TEST(ConsoleHold, OneHolderAtATimeOthersAreDropped) {
  ConsoleModel c;
  EXPECT_TRUE(c.Hold(3, false, true));
  EXPECT_FALSE(c.Hold(5, false, true));
  EXPECT_EQ(c.Holder(), 3);
  c.AddText(5, false, "LOST", true);
  c.NewLineFor(5);
  c.AddText(3, false, "KEPT", true);
  EXPECT_EQ(c.LineAt(1).text, "KEPT");
  EXPECT_EQ(c.Row(), 1);
  EXPECT_FALSE(c.Hold(5, true, true));  // only the holder releases
  EXPECT_EQ(c.Holder(), 3);
  EXPECT_TRUE(c.Hold(3, true, true));
  EXPECT_EQ(c.Holder(), 0);
  EXPECT_TRUE(c.Hold(5, false, true));
  EXPECT_EQ(c.Holder(), 5);
  EXPECT_TRUE(c.Hold(5, false, false));  // the holder may claim again with other line rules
  c.AddText(5, false, "A\r\nB", false);
  EXPECT_EQ(c.LineAt(2).text, "A[CR][LF]B");
}

TEST(ConsoleHold, ReleaseEndsAnUnfinishedLineOnly) {
  ConsoleModel c;
  c.Hold(1, false, true);
  c.AddText(1, false, "G1", false);
  c.Hold(1, true, true);
  EXPECT_EQ(c.Row(), 2);
  EXPECT_EQ(c.Col(), 1);
  c.Hold(1, false, true);
  c.Hold(1, true, true);  // cursor in column 1: no empty line
  EXPECT_EQ(c.Row(), 2);
  // A full line leaves the cursor past column 80, which is unfinished too.
  c.Hold(1, false, true);
  c.AddText(1, false, std::string(80, 'X'), false);
  EXPECT_EQ(c.Row(), 2);
  c.Hold(1, true, true);
  EXPECT_EQ(c.Row(), 3);
  EXPECT_EQ(c.LineAt(3).text, "");
}

TEST(ConsoleColours, MachineAndDirectionChooseTheColourOfEachCharacter) {
  struct Case {
    int machine;
    bool alt, received;
    ConsoleColour colour;
  } cases[] = {
      {0, false, false, ConsoleColour::Navy}, {0, true, true, ConsoleColour::Navy},
      {2, true, true, ConsoleColour::Black},  {2, true, false, ConsoleColour::Red},
      {2, false, true, ConsoleColour::Green}, {2, false, false, ConsoleColour::Blue},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(static_cast<int>(k.colour));
    ConsoleModel c;
    c.Hold(k.machine, false, true);
    c.AddText(k.machine, k.alt, "A", k.received);
    EXPECT_EQ(c.LineAt(1).colours[0], k.colour);
  }
  // Sent and received text on one line keep their own colours.
  ConsoleModel c;
  c.Hold(4, false, true);
  c.AddText(4, false, "G1", false);
  c.AddText(4, false, "\x06", true);
  const auto& line = c.LineAt(1);
  EXPECT_EQ(line.text, "G1[ACK]");
  EXPECT_EQ(line.colours[1], ConsoleColour::Blue);
  for (int i = 2; i < 7; ++i) EXPECT_EQ(line.colours[static_cast<size_t>(i)], ConsoleColour::Green);
}

TEST(ConsoleLines, CrAndLfEndTheLineBeforeTheNextOrdinaryCharacter) {
  struct Case {
    const char* text;
    bool breakOnCrLf;
    std::vector<std::string> lines;
  } cases[] = {
      {"G01\r\n", true, {"G01[CR][LF]", ""}},
      {"G01\r\nG02", true, {"G01[CR][LF]", "G02"}},
      {"A\r\r\n\nB", true, {"A[CR][CR][LF][LF]", "B"}},  // a run of line ends is one break
      {"A\nB\rC", true, {"A[LF]", "B[CR]", "C"}},
      {"A\r\nB", false, {"A[CR][LF]B", ""}},  // a holder that does not break on CR/LF
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(StrToVisual(k.text));
    ConsoleModel c;
    c.Hold(1, false, k.breakOnCrLf);
    c.AddText(1, false, k.text, false);
    for (size_t i = 0; i < k.lines.size(); ++i)
      EXPECT_EQ(c.LineAt(static_cast<int>(i) + 1).text, k.lines[i]) << "line " << i + 1;
  }
}

TEST(ConsoleLines, NewLineForTheHolderEndsTheLineAndClearsAPendingBreak) {
  ConsoleModel c;
  c.Hold(2, false, true);
  c.AddText(2, false, "A\r", false);
  c.NewLineFor(2);
  c.AddText(2, false, "B", false);  // the pending break was spent by the new line
  EXPECT_EQ(c.LineAt(1).text, "A[CR]");
  EXPECT_EQ(c.LineAt(2).text, "B");
  EXPECT_EQ(c.Row(), 2);
}

TEST(ConsoleWrap, TheEightyFirstCharacterStartsTheNextLine) {
  ConsoleModel c;
  c.WriteText(std::string(80, 'A'));
  EXPECT_EQ(c.Row(), 1);
  EXPECT_EQ(c.Col(), 81);
  c.WriteText("B");
  EXPECT_EQ(c.LineAt(1).text, std::string(80, 'A'));
  EXPECT_EQ(c.LineAt(2).text, "B");
  EXPECT_EQ(c.Row(), 2);
  EXPECT_EQ(c.Col(), 2);
}

TEST(ConsoleWrap, ANamedByteIsSplitAtTheEndOfTheLine) {
  ConsoleModel c;
  c.WriteText(std::string(78, '.') + '\x02');  // "[STX]" from column 79
  EXPECT_EQ(c.LineAt(1).text, std::string(78, '.') + "[S");
  EXPECT_EQ(c.LineAt(2).text, "TX]");
}

TEST(ConsoleWrap, AddTextTakesAtMostEightyBytes) {
  ConsoleModel c;
  c.Hold(1, false, true);
  c.AddText(1, false, std::string(80, 'A') + "BBBB", false);
  EXPECT_EQ(c.LineAt(1).text, std::string(80, 'A'));
  EXPECT_EQ(c.LineAt(2).text, "");
  // The limit counts bytes taken, not characters shown.
  ConsoleModel d;
  d.Hold(1, false, false);
  d.AddText(1, false, std::string(100, '\x1B'), false);
  int shown = 0;
  for (int r = 1; r <= ConsoleModel::kLines; ++r)
    shown += static_cast<int>(d.LineAt(r).text.size());
  EXPECT_EQ(shown, 80 * 5);  // eighty "[ESC]"
}

TEST(ConsoleScrolling, SeventeenthLineScrollsByTheStep) {
  struct Case {
    int step;
    int cursorRow;
  } cases[] = {{4, 13}, {1, 16}, {8, 9}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.step);
    ConsoleModel c;
    c.SetScroll(k.step);
    std::vector<int> changed;
    c.onChanged = [&](int row) { changed.push_back(row); };
    WriteLines(c, 15);
    c.WriteText("L16");
    EXPECT_EQ(c.Row(), 16);
    changed.clear();
    c.NewLine();                              // the 17th line
    EXPECT_EQ(changed, std::vector<int>{0});  // one repaint of all lines
    EXPECT_EQ(c.Row(), k.cursorRow);
    EXPECT_EQ(c.Col(), 1);
    for (int r = 1; r <= 16 - k.step; ++r)
      EXPECT_EQ(c.LineAt(r).text, "L" + std::to_string(r + k.step)) << r;
    for (int r = 17 - k.step; r <= 16; ++r) EXPECT_EQ(c.LineAt(r).text, "") << r;
    c.WriteText("NY");
    EXPECT_EQ(c.LineAt(k.cursorRow).text, "NY");
  }
}

TEST(ConsoleScrolling, LinesKeepTheirColoursWhenTheyMoveUp) {
  ConsoleModel c;
  c.Hold(1, false, true);
  for (int i = 1; i <= 16; ++i) {
    c.AddText(1, false, "S", i % 2 == 0);  // even lines received (green), odd sent (blue)
    c.NewLineFor(1);
  }
  EXPECT_EQ(c.Row(), 13);
  EXPECT_EQ(c.LineAt(1).colours[0], ConsoleColour::Blue);    // was line 5
  EXPECT_EQ(c.LineAt(2).colours[0], ConsoleColour::Green);   // was line 6
  EXPECT_EQ(c.LineAt(12).colours[0], ConsoleColour::Green);  // was line 16
}

TEST(ConsoleClick, WritesCrLfInNavyForTheWindowWhenNobodyHolds) {
  ConsoleModel c;
  c.AddText(0, true, "\r\n", true);  // what the window's click handler writes
  EXPECT_EQ(c.LineAt(1).text, "[CR][LF]");
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(c.LineAt(1).colours[static_cast<size_t>(i)], ConsoleColour::Navy);
  c.Hold(2, false, true);
  c.AddText(2, false, "G1", false);  // the next transfer starts on a new line
  EXPECT_EQ(c.LineAt(2).text, "G1");
  c.AddText(0, true, "\r\n", true);  // a click while a machine holds shows nothing
  EXPECT_EQ(c.LineAt(2).text, "G1");
}

}  // namespace
}  // namespace zova
