#pragma once
// Text inside the station is one byte per character, Latin-1. These helpers
// convert at the edges (window, UTF-8 files) and give the Latin-1 upper case
// that every case-insensitive comparison uses.

#include <string>
#include <string_view>

namespace zova {

// Latin-1 upper case: a-z and 0xE0-0xFE except 0xF7 (division sign).
inline char UpperChar(char c) {
  auto b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 32);
  return c;
}

inline char LowerChar(char c) {
  auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 32);
  return c;
}

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool EndsWithNoCase(std::string_view s, std::string_view suffix);

std::string Latin1ToUtf8(std::string_view latin1);
bool IsValidUtf8(std::string_view s);
// Code points above 255 become '?': the station cannot hold them.
std::string Utf8ToLatin1(std::string_view utf8);

// The station's own texts are written in UTF-8 sources; L1 gives their Latin-1
// bytes. Use it where a text is defined, not in hot paths.
inline std::string L1(std::string_view utf8) {
  return Utf8ToLatin1(utf8);
}

// Trims blanks and control characters up to 32 on both ends (Delphi Trim).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

}  // namespace zova
