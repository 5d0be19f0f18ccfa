#pragma once
// Where a Mazatrol program carries its number and title inside the
// hexadecimal data, and how the station learns those places from a test
// program numbered 3333 (or 33333333) and titled "33333333". Positions are
// 1-based, as the configuration gives them. Pure: no file, no line.

#include <optional>
#include <string>
#include <string_view>

#include "core/config/section_values.h"

namespace zova::mazatrol {

// ProgLinje, ProgStart, ProgLengde and Swap.
struct NumberPlace {
  int line = 1;
  int start = 5;
  int width = 4;
  bool swap = true;
};

// How many bytes (two hex digits each) a number of ProgLengde Width takes:
// one below 3, four for 8, else two.
int NumberBytes(int width);
// The number at its place, the bytes most significant first or, with Swap,
// least significant first. Nullopt when the line is too short there or the
// digits are not hexadecimal.
std::optional<long long> DecodeNumber(std::string_view line, const NumberPlace& place);
// Hent5000: a number 5001 to 9999 of width 4 loses 5000.
long long DropFiveThousand(long long number, int width);
// The number zero-padded to Width digits (plain with KortFilNavn) and Ext.
std::string NumberFileName(long long number, int width, bool kortFilNavn, std::string_view ext);

// TekstLinje, TekstLinjeStart, TekstStart, TekstLengde and KlarTekst.
struct TitlePlace {
  int line = 0;
  std::string lineStart;
  int start = 63;
  int length = 11;
  bool plain = false;
};

// Picks the title line among the program's lines: line TekstLinje when it
// starts with TekstLinjeStart, else the line after it.
class TitleLineFinder {
 public:
  explicit TitleLineFinder(const TitlePlace& place) : place_(place) {}
  // True for the title line; LineNo counts the program lines from 1.
  bool IsTitleLine(int lineNo, std::string_view line);

 private:
  TitlePlace place_;
  bool takeNext_ = false;
};

// The title as the line holds it: plain, the length byte (two hex digits)
// before TekstStart gives its length (at most TekstLengde); else TekstLengde
// hexadecimal pairs decoded, up to a NUL. Only what the line holds; empty
// when nothing.
std::string DecodeTitle(std::string_view line, const TitlePlace& place);

// The characters a title keeps with EkstraKommentar: the name characters,
// blanks and the punctuation of a comment; no directory or wildcard ones.
bool IsTitleCommentChar(char ch);

// A decoded title made a file name: its leading comment characters
// (EkstraKommentar) or name characters (with Extra, the machine's KatalogTegn
// and FilNavnTegn), then, when PadTo is above 0, zeros before it up to PadTo
// characters, and Ext when it has no extension. Empty when nothing is left.
std::string TitleFileName(std::string_view title, bool ekstraKommentar, const CharSet& extra,
                          int padTo, std::string_view ext);

// Learning. The number 3333 is "0D05" in hexadecimal (two bytes), 33333333
// "01FCA055" (four); either may come least significant byte first.
struct LearnedNumber {
  int start = 0;
  int width = 4;
  bool swap = false;
};
// The earliest of the two-byte forms at an odd position; the four-byte ones
// when neither is there.
std::optional<LearnedNumber> FindNumberPlace(std::string_view line);

struct LearnedTitle {
  int start = 0;
  int length = 0;
  bool plain = false;
};
// "33333333" moved to an odd position; the run of "3" from there is the
// title, plain when the two hex digits before it give that count, else
// hexadecimal pairs (half as many characters).
std::optional<LearnedTitle> FindTitlePlace(std::string_view line);

}  // namespace zova::mazatrol
