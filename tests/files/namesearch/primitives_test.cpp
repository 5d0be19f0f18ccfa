#include <gtest/gtest.h>

#include "core/latin1.h"
#include "files/namesearch/primitives.h"
#include "support/test_support.h"

namespace zova {
namespace {

CharSet Set(std::string_view chars) {
  CharSet s;
  for (char c : chars) s.set(static_cast<unsigned char>(c));
  return s;
}

const CharSet kSlash = Set("/");

Look NameLook(uint8_t maxLen = 20) {
  return Look{&kSlash, true, false, false, maxLen};
}

TEST(FindKey, DigitKeyMustNotRunIntoAnotherDigit) {
  struct {
    bool check;
    const char* key;
    std::string text;
    int pos;
  } cases[] = {
      {true, "N554", "N5545P12", 0},
      {false, "N554", "N5545P12", 1},
      {true, "N554", "N5545 N554 ", 7},
      {true, "N554", "N5545 N554", 7},  // the key at the very end counts
      {true, "M30", "M301 M30", 6},
      {true, "O", "O1234", 1},  // a key ending in a letter is never checked
      {true, "", "ABC", 0},
      {true, "ABCD", "ABC", 0},
      // A key that starts with the mark cannot be marked away; the search must
      // still move on instead of finding the same place for ever.
      {true,
       "\xA3"
       "1",
       "\xA3"
       "12 \xA3"
       "1 ",
       5},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindKey(c.check, c.key, c.text), c.pos) << c.key << " in " << c.text;
}

TEST(FilterName, KeepsTheLongestAllowedPrefix) {
  struct {
    bool numeric;
    const char* extra;
    const char* in;
    const char* out;
  } cases[] = {
      {true, "/", "12.5", "125"},
      {true, "/", "12A", "12"},
      {true, "/", "A12", ""},
      {true, "/", "+1,2", "12"},
      {true, "/", "1/2", "1/2"},
      {false, "/", "O1234;ABC", "O1234"},
      {false, "/;", "O1234;ABC", "O1234;ABC"},
      {false, "", "A-B.C/D:E\\F_G H", "A-B.C/D:E\\F_G"},
      {false, "", "\xD8STE", ""},  // Latin-1 letters only as extra characters
  };
  for (const auto& c : cases) {
    CharSet extra = Set(c.extra);
    std::string name = c.in;
    FilterName(c.numeric, &extra, name);
    EXPECT_EQ(name, c.out) << c.in;
  }
}

TEST(SearchName, TakesTheNameAfterTheStartDelimiter) {
  struct {
    const char* what;
    std::string text, key, start, stop;
    Look look;
    const char* name;
  } cases[] = {
      {"O number", "% O1234 G0X0", "O", "O", "", NameLook().Numeric(), "1234"},
      {"empty name skipped", "((AB)", "(", "(", ")", NameLook(), "AB"},
      {"first only stops", "((AB)", "(", "(", ")", NameLook().FirstOnly(), "0000"},
      {"found 0000 goes on", "(0000)(P12)", "(", "(", ")", NameLook(), "P12"},
      {"cut at max length", "(ABCDEFGHIJ)", "(", "(", ")", NameLook(5), "ABCDE"},
      {"stop within max", "(ABCD)", "(", "(", ")", NameLook(5), "ABCD"},
      {"stop at max + 1", "(ABCDE)", "(", "(", ")", NameLook(5), "ABCDE"},
      {"max 0", "(ABCD)", "(", "(", ")", NameLook(0), "0000"},
      {"key elsewhere", "(P1) M30", "M30", "(", ")", NameLook(), "P1"},
      {"key missing", "(P1) M3", "M30", "(", ")", NameLook(), "0000"},
      {"empty key", "(P1)", "", "(", ")", NameLook(), "0000"},
      {"empty start", "(P1)", "(", "", ")", NameLook(), "0000"},
      {"empty stop", "(P1)", "(", "(", "", NameLook(), "P1"},
      {"key check", "N5545P12", "N554", "P", "", NameLook(), "0000"},
      {"key check off", "N5545P12", "N554", "P", "", NameLook().KeyCheckOff(), "12"},
      {"mark as start stops at once",
       "\xA3\xA3"
       "AB",
       "\xA3", "\xA3", "", NameLook(), "0000"},
      {"start beginning with mark", "\xA3( \xA3(AB)", "\xA3(", "\xA3(", ")", NameLook(), "AB"},
      {"overlapping starts", "(((AB)", "((", "((", ")", NameLook(), "AB"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SearchName(c.text, c.key, c.start, c.stop, c.look), c.name) << c.what;
}

TEST(SearchName, DebugSwitchShowsTheSearchAndTheResult) {
  test::ScopedUiHost ui;
  SetNameSearchDebug(true);
  EXPECT_EQ(SearchName("(P1) M30", "M30", "(", ")", NameLook()), "P1");
  EXPECT_EQ(SearchName("(P1)", "M30", "(", ")", NameLook()), "0000");
  SetNameSearchDebug(false);
  auto notices = ui.host.Notices();
  ASSERT_EQ(notices.size(), 3u);  // the failed key check shows no result
  EXPECT_EQ(notices[0].caption, L1("Søker etter filnavn"));
  EXPECT_EQ(notices[0].text,
            L1("Søker: [M30]\r\nStart:  [(]\r\nSlutt:  [)]\r\nString: [(P1) M30]"));
  EXPECT_EQ(notices[1].caption, "Filnavn funnet");
  EXPECT_EQ(notices[1].text,
            "Kommando: [M30]\r\nStart:  [(]\r\nSlutt:  [)]\r\nString: [(P1) M30]\r\nFilNavn: [P1]");
  EXPECT_EQ(notices[2].caption, L1("Søker etter filnavn"));
}

TEST(CutLines, KeepsTheLineWindow) {
  struct {
    const char* text;
    int first, last;
    const char* out;
  } cases[] = {
      {"A B C D E", 1, 2, "A B "}, {"A B C D E", 2, 3, " B C "}, {"A B C D E", 1, 0, ""},
      {"A B C D E", 5, 9, " E"},   {"A B C D E", 7, 9, ""},      {"A B C D E", 1, 9, "A B C D E"},
      {" A B", 1, 1, " "},         {"A  B", 2, 2, "  B"},        {"", 1, 4, ""},
      {"A B", 0, 1, "A "},         {"A B C", 3, 2, " "},         {"A B", 1, -3, ""},
  };
  for (const auto& c : cases) {
    std::string t = c.text;
    CutLines(c.first, c.last, t);
    EXPECT_EQ(t, c.out) << '"' << c.text << "\" " << c.first << ".." << c.last;
  }
}

TEST(CutAtWord, CutsAfterTheLineOfTheLetter) {
  struct {
    const char* text;
    bool lastLineOnly;
    const char* out;
  } cases[] = {
      {"G65P9000 J12 K3 X1 ", false, "G65P9000 J12 "},
      {"G65P9000 J12 K3 X1 ", true, " J12 "},
      {"G65P9000 K3 X1 ", false, "G65P9000 K3 "},
      {"G65P9000 X1 ", false, "G65P9000 X1 "},
      {"AB J", false, "AB J"},
      {"AB J", true, "AB J"},
      {"J", true, "J"},
      {"", true, ""},
  };
  for (const auto& c : cases) {
    std::string t = c.text;
    CutAtWord('J', 'K', c.lastLineOnly, t);
    EXPECT_EQ(t, c.out) << c.text;
  }
}

TEST(DigitsAfterLetter, RunAfterAProgramLetter) {
  struct {
    const char* text;
    const char* out;
  } cases[] = {
      {"O1234 ", "1234"}, {"% O1234 G0", "1234"}, {"O1234", "123"}, {"X1234 ", "0000"},
      {"1234 ", "0000"},  {"%12 ", "12"},         {":7 ", "7"},     {"N", "0000"},
      {"", "0000"},       {"AB5", "0000"},        {"M3", "0000"},   {"F12X", "12"},
  };
  for (const auto& c : cases) EXPECT_EQ(DigitsAfterLetter(c.text), c.out) << c.text;
}

TEST(PadNumber, PadsTheFirstDigitRun) {
  struct {
    SearchMode mode;
    int len;
    const char* in;
    const char* out;
  } cases[] = {
      {smFetch, 5, "P12", "P00012"},  {smSave, 5, "P12", "P00012"},
      {smPrint, 5, "P12", "P00012"},  {smTool, 5, "P12", "P00012"},
      {smDirectory, 5, "P12", "P12"}, {smSave, 5, "0000", "0000"},
      {smSave, 4, "O12", "O0012"},    {smSave, 4, "P7A", "P0007A"},
      {smSave, 4, "ABC", "ABC"},      {smSave, 4, "123456", "123456"},
      {smSave, 0, "P1", "P1"},        {smSave, -3, "P1", "P1"},
      {smSave, 4, "A1B2", "A0001B2"},
  };
  for (const auto& c : cases) {
    std::string n = c.in;
    PadNumber(c.mode, c.len, n);
    EXPECT_EQ(n, c.out) << c.in << " " << c.len;
  }
  std::string huge = "P1";
  PadNumber(smSave, 2000000000, huge);
  EXPECT_EQ(huge.size(), 256u);  // 255 digits: a bad TallLengde cannot exhaust memory
}

}  // namespace
}  // namespace zova
