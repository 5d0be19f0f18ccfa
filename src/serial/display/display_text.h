#pragma once
// What a message display attached to a machine is sent, without the line:
// the Norwegian letters in the display's character set, texts centred and
// cut to its width, and the bytes of each kind of display.

#include <string>
#include <string_view>

namespace zova {

// The Display key: 1 the main window's display, 2 a "#ST" line display, 3
// the window's alternative display, 4 and above a character display of that
// many columns.
inline constexpr int kDisplayWindow = 1;
inline constexpr int kDisplayLine = 2;
inline constexpr int kDisplayWindowAlt = 3;
// Character displays this wide or wider show the station's start and stop.
inline constexpr int kStartStopColumns = 17;

struct DisplaySettings {
  int kind = kDisplayWindow;  // Display
  int lines = 2;              // DisplayLinjer
  bool erstatt = false;       // DisplayErstatt
  int tegnSett = 1;           // DisplayTegnSett
};

// æ ø å Æ Ø Å (Latin-1): with Erstatt as letter pairs ("ae", "o", "aa",
// "AE", "0", "AA"); otherwise by TegnSett, 1 the display's own codes
// (197, 207, 196, 165, 175, 164), 2 the Norwegian ISO 646 variant
// ("{", "|", "}", "[", "\", "]"), any other as they are.
std::string ConvertDisplayLetters(std::string_view text, bool erstatt, int tegnSett);

// Text behind half the spare width in blanks, cut to Columns.
std::string CentreInColumns(std::string_view text, int columns);

// A character display (kind 4 and above): the two texts centred and, where
// the settings say, converted. Two lines: ESC "@" ESC "R" TAB FF, with
// Second US "E" LF, Text1, CR LF, Text2; one line: CR LF, Text2.
std::string CharacterDisplayBytes(const DisplaySettings& s, bool second, std::string_view text1,
                                  std::string_view text2);

// A "#ST" line display (kind 2) shows Text2.
std::string LineDisplayBytes(std::string_view text2);

// What the main window's display shows: the non-empty texts, blank between.
std::string WindowDisplayText(std::string_view text1, std::string_view text2);

}  // namespace zova
