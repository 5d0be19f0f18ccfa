// The shop-floor terminal's pure parts: what keys do to a typed name, the
// screens in both layouts, and the directory browser's list and paging.

#include <gtest/gtest.h>

#include "serial/terminal/terminal_browse.h"
#include "serial/terminal/terminal_input.h"
#include "serial/terminal/terminal_screens.h"

namespace zova {
namespace {

struct Typed {
  std::string name;
  std::string echoed;
  KeyOutcome last;
};

Typed Type(const std::string& keys) {
  TerminalInput in;
  Typed t;
  for (char c : keys) {
    t.last = in.Feed(static_cast<uint8_t>(c));
    if (t.last.echo) t.echoed += static_cast<char>(t.last.echoByte);
    if (t.last.Finished()) break;
  }
  t.name = in.Name();
  return t;
}

TEST(TerminalInput, TypingEditsTheNameAndEchoesWhatItTakes) {
  struct Case {
    const char* keys;
    const char* name;
    const char* echoed;
  } cases[] = {
      {"P12\r", "P12", "P12"},
      {"AB\bC", "AC", "AB\bC"},  // BS goes back, the next character overwrites
      {"AB\b\r", "AB", "AB\b"},  // BS alone deletes nothing
      {"\b\bA", "A", "\b\bA"},   // BS at the start stays there
      {"ABC\b\bX", "AXC", "ABC\b\bX"},
      {"p12", "12", "12"},  // lower case is neither stored nor echoed
      {"A b", "A", "A"},
      {"SUB/P*.NC", "SUB\\P*.NC", "SUB\\P*.NC"},  // "/" is taken as "\"
      {"*-.?09AZ\\", "*-.?09AZ\\", "*-.?09AZ\\"},
      {"A\x7f\xc6_:", "A", "A"},
      {"AB\nC", "AB", "AB"},  // LF ends the input as CR does
  };
  for (const Case& c : cases) {
    const Typed t = Type(c.keys);
    EXPECT_EQ(t.name, c.name) << c.keys;
    EXPECT_EQ(t.echoed, c.echoed) << c.keys;
  }
}

TEST(TerminalInput, KeysThatEndTheDialogue) {
  struct Case {
    uint8_t key;
    TerminalAction action;
    int functionKey;
    bool end;
  } cases[] = {
      {27, TerminalAction::Check, 0, false}, {'+', TerminalAction::Check, 0, false},
      {9, TerminalAction::Send, 0, false},   {',', TerminalAction::Send, 0, false},
      {16, TerminalAction::Print, 0, false}, {13, TerminalAction::None, 0, true},
      {10, TerminalAction::None, 0, true},   {17, TerminalAction::None, 1, false},
      {21, TerminalAction::None, 5, false},  {22, TerminalAction::None, 0, false},
      {'A', TerminalAction::None, 0, false},
  };
  for (const Case& c : cases) {
    TerminalInput in;
    const KeyOutcome o = in.Feed(c.key);
    EXPECT_EQ(o.action, c.action) << int(c.key);
    EXPECT_EQ(o.functionKey, c.functionKey) << int(c.key);
    EXPECT_EQ(o.end, c.end) << int(c.key);
    EXPECT_EQ(o.Finished(), c.action != TerminalAction::None || c.functionKey || c.end)
        << int(c.key);
    EXPECT_FALSE(o.echo && (c.functionKey || c.end || c.action != TerminalAction::None));
  }
}

TEST(TerminalScreens, FullAndCompactLayouts) {
  struct Case {
    std::string got, want;
  } cases[] = {
      {PromptScreen(4), "\x1bL\x1bJTast inn filnavn:\r\n\r\n"},
      {PromptScreen(2), "\x1bL\x1bJTast inn filnavn:\r\n"},
      {ResultScreen("Fil: P1.NC", "Eksisterer ikke", 4),
       "\x1bL\x1bJ"
       "Fil: P1.NC\r\n\r\nEksisterer ikke"},
      {ResultScreen("Fil: P1.NC", "Eksisterer ikke", 2),
       "\x1bL\x1bJ"
       "Fil: P1.NC\r\nEksisterer ikke"},
      {ChosenMachineScreen("DREIEBENK", 4), "\x1bL\x1bJValgt maskin:\r\n\r\nDREIEBENK"},
      {ChosenMachineScreen("DREIEBENK", 2), "\x1bL\x1bJValgt maskin:\r\nDREIEBENK"},
      {ReadyScreen("P12.NC", 4),
       "\x1bL\x1bJ"
       "Filnavn:\r\nP12.NC\r\n\r\nKlar for sending..."},
      {ReadyScreen("P12.NC", 2),
       "\x1bL\x1bJ"
       "Fil: P12.NC\r\nStart sending.."},
      {StoppedScreen(), "\x1bL\x1bJ\r\nProgram stoppet!!!!"},
      {TerminalMachineName("", 5), "Maskin5"},
      {TerminalMachineName("FRES 5", 5), "FRES 5"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
  EXPECT_EQ(TerminalLines(0), 1);
  EXPECT_EQ(TerminalLines(-3), 1);
  EXPECT_EQ(TerminalLines(4), 4);
}

TEST(TerminalBrowse, MatchesAreSortedAndPaddedSoTheLastCanBeOnTop) {
  const BrowseList list = MakeBrowseList({"P3.NC", "P1.NC", "P2.NC"}, "P*.NC", 4);
  EXPECT_FALSE(list.abandoned);
  EXPECT_EQ(list.entries, (std::vector<std::string>{"P1.NC", "P2.NC", "P3.NC", "", "", ""}));
  const BrowseList none = MakeBrowseList({}, "Q*.NC", 2);
  EXPECT_TRUE(none.abandoned);
  EXPECT_EQ(none.entries, (std::vector<std::string>{"Ingen filer:", "", "Q*.NC", ""}));
  EXPECT_EQ(BrowsePage(none.entries, 0, 2), "\x1bL\x1bJIngen filer:\r\n");
}

TEST(TerminalBrowse, PagingKeysStayWithinTheList) {
  // Seven files on a four-line display: ten entries, the top at most 6.
  const int size = 7 + 3, lines = 4;
  struct Case {
    int top;
    uint8_t key;
    int want;
  } cases[] = {
      {0, 17, 1}, {0, 18, 4}, {4, 18, 6}, {6, 17, 6},  {5, 19, 0}, {5, 20, 1},
      {2, 20, 0}, {3, 21, 2}, {0, 21, 0}, {3, 'A', 3}, {6, 18, 6},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PagedTop(c.top, c.key, lines, size), c.want) << c.top << " key " << int(c.key);
  // A list shorter than the display cannot move.
  EXPECT_EQ(PagedTop(0, 18, 4, 2), 0);
}

TEST(TerminalBrowse, PageShowsLinesEntriesAndTheChoiceKeepsTheDirectory) {
  const std::vector<std::string> e{"P1.NC", "P2.NC", "P3.NC", "", ""};
  EXPECT_EQ(BrowsePage(e, 0, 3), "\x1bL\x1bJP1.NC\r\nP2.NC\r\nP3.NC");
  EXPECT_EQ(BrowsePage(e, 2, 3), "\x1bL\x1bJP3.NC\r\n\r\n");
  EXPECT_EQ(BrowsedName("P*.NC", "P2.NC"), "P2.NC");
  EXPECT_EQ(BrowsedName("SUB\\P*", "P2.NC"), "SUB\\P2.NC");
}

}  // namespace
}  // namespace zova
