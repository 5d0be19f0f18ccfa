// What a message display is sent: the Norwegian letters in its character
// set, the texts centred on its lines, and the bytes of each kind.

#include "serial/display/display_text.h"

#include <gtest/gtest.h>

namespace zova {
namespace {

// æ ø å Æ Ø Å in Latin-1.
const std::string kLetters = "\xE6\xF8\xE5\xC6\xD8\xC5";

TEST(DisplayText, NorwegianLettersInEachCharacterSet) {
  struct Case {
    bool erstatt;
    int tegnSett;
    std::string want;
  } cases[] = {
      {true, 1, "aeoaaAE0AA"},
      {true, 2, "aeoaaAE0AA"},  // letter pairs whatever the set
      {false, 1, "\xC5\xCF\xC4\xA5\xAF\xA4"},
      {false, 2, "{|}[\\]"},
      {false, 3, kLetters},  // an unknown set leaves them
  };
  for (const Case& c : cases)
    EXPECT_EQ(ConvertDisplayLetters("x" + kLetters + "y", c.erstatt, c.tegnSett),
              "x" + c.want + "y")
        << c.erstatt << " " << c.tegnSett;
  // The display's own code of æ is Latin-1 Å: converted once, not twice.
  EXPECT_EQ(ConvertDisplayLetters("\xE6\xC5", false, 1), "\xC5\xA4");
}

TEST(DisplayText, TextsAreCentredAndCut) {
  struct Case {
    std::string text;
    int columns;
    std::string want;
  } cases[] = {
      {"abc", 7, "  abc"},       {"abcd", 7, " abcd"}, {"abcdefg", 7, "abcdefg"},
      {"abcdefghij", 4, "abcd"}, {"", 4, "  "},        {"abc", 0, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CentreInColumns(c.text, c.columns), c.want) << c.text << " in " << c.columns;
}

TEST(DisplayText, BytesOfEachDisplay) {
  const std::string head = "\x1b@\x1bR\t\f";
  DisplaySettings two{20, 2, false, 1};
  DisplaySettings one{20, 1, false, 2};
  DisplaySettings pairs{8, 2, true, 1};
  struct Case {
    const char* what;
    DisplaySettings s;
    bool second;
    std::string t1, t2, want;
  } cases[] = {
      {"two lines", two, false, "Kvist-Zova", "startet", head + "     Kvist-Zova\r\n      startet"},
      {"the second of a pair", two, true, "Sender", "O1000",
       head + "\x1f"
              "E\n       Sender\r\n       O1000"},
      {"two lines leave the letters to the display", two, false, "\xF8", "\xE6",
       head + "         \xF8\r\n         \xE6"},
      {"one line shows the second text, converted", one, false, "ignored", "B\xE5nd",
       "\r\n        B}nd"},
      {"letter pairs widen the text before it is centred", pairs, false, "\xC6\xC6\xC6", "Fr\xE6s",
       head + " AEAEAE\r\n Fraes"},
      {"a long text is cut to the width", pairs, false, "0123456789", "",
       head + "01234567\r\n    "},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CharacterDisplayBytes(c.s, c.second, c.t1, c.t2), c.want) << c.what;
  EXPECT_EQ(LineDisplayBytes("Mottar data"), "#ST\r\n#ER Mottar data\r\n#EN\r\n");
}

TEST(DisplayText, WindowShowsTheTextsThatAreThere) {
  EXPECT_EQ(WindowDisplayText("Sender", "O1000"), "Sender O1000");
  EXPECT_EQ(WindowDisplayText("", "O1000"), "O1000");
  EXPECT_EQ(WindowDisplayText("Sender", ""), "Sender");
}

}  // namespace
}  // namespace zova
