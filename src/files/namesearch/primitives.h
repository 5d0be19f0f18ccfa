#pragma once
// The primitive program-name search and the helpers every search method is
// built from. Texts are Latin-1 header texts: the first lines of a reception
// without blanks, one space per line end. Positions are 1-based, 0 = none.
// None of these keeps state; all are safe from any thread.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/config/config.h"

namespace zova {

// The name every caller tests for: nothing was found.
inline constexpr std::string_view kNoName = "0000";

// Marks an occurrence already looked at in a private copy of a text.
inline constexpr char kUsedMark = '\xA3';

enum SearchMode { smFetch = 0, smSave = 1, smDirectory = 2, smPrint = 3, smTool = 4 };

// How one SearchName looks: the key check, the filter, first occurrence only,
// the longest name (an 8-bit count) and the extra name characters. The
// modifiers give the deviations the methods are written with.
struct Look {
  const CharSet* extra = nullptr;  // null = no extra characters
  bool checkDigitKey = true;
  bool numericOnly = false;
  bool firstOnly = false;
  uint8_t maxLen = 20;

  Look KeyCheckOff() const {
    Look l = *this;
    l.checkDigitKey = false;
    return l;
  }
  Look Numeric() const {
    Look l = *this;
    l.numericOnly = true;
    return l;
  }
  Look Names() const {
    Look l = *this;
    l.numericOnly = false;
    return l;
  }
  Look FirstOnly(bool on = true) const {
    Look l = *this;
    l.firstOnly = on;
    return l;
  }
  Look Max(uint8_t n) const {
    Look l = *this;
    l.maxLen = n;
    return l;
  }
  Look NoExtra() const {
    Look l = *this;
    l.extra = nullptr;
    return l;
  }
};

// First occurrence of Key that counts; with CheckDigitKey a key ending in a
// digit does not count where the text goes on with a digit ("N554" is not in
// "N5545"). An empty key is never found.
int FindKey(bool checkDigitKey, std::string_view key, std::string_view text);

// Keeps the longest prefix of allowed characters.
void FilterName(bool numericOnly, const CharSet* extra, std::string& name);

// The name after the first start delimiter (or a later one, when the first
// gives nothing) up to the stop delimiter, at most Look.maxLen characters,
// filtered; "0000" when the key is not in the text or no name is found.
std::string SearchName(std::string_view text, std::string_view key, std::string_view startDelim,
                       std::string_view stopDelim, const Look& look);

// Keeps lines FirstLine..LastLine; a start separator stays as first character.
void CutLines(int firstLine, int lastLine, std::string& text);

// Cuts the text after the line that holds Letter1 (or else Letter2); with
// LastLineOnly only that line is kept, with its leading space.
void CutAtWord(char letter1, char letter2, bool lastLineOnly, std::string& text);

// The digit run after one of "$%:FMNO" at the first digit of the text; the last
// character of the text is never looked at.
std::string DigitsAfterLetter(std::string_view text);

// Pads the first digit run of Name with leading zeros to TallLengde digits.
void PadNumber(SearchMode mode, int tallLengde, std::string& name);

// Prefixes "0" until Name has Len characters.
void ZeroPadLeft(std::string& name, int len);

// The [Program] Debug switch of the name search: read once by
// InitNameSearchSettings, off until then. Tests set it directly.
bool NameSearchDebug();
void SetNameSearchDebug(bool on);

}  // namespace zova
