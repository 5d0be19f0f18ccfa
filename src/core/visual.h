#pragma once
// The bracket notation for control characters in configuration values and
// displays: "[CR][LF]", "[XON]", "[13]". Every protocol character read from
// Zova.ini passes through VisualToStr.

#include <cstdint>
#include <string>
#include <string_view>

namespace zova {

// Name of bytes 0..31 without brackets ("NUL" ... "US"; 17 "XON", 19 "XOFF").
std::string_view ControlName(uint8_t b);

std::string CharToVisual(uint8_t b);
std::string StrToVisual(std::string_view s);
// Appends the notation of S to Out: the byte log's hot path.
void AppendVisual(std::string& out, std::string_view s);

// Decodes one token "[...]"; false when it does not decode.
bool VisualTokenToChar(std::string_view token, uint8_t& b);

struct VisualDecoded {
  std::string bytes;
  bool error = false;  // a malformed token was left out
};
// The conversion itself, without the notice.
VisualDecoded DecodeVisual(std::string_view s);

// Converts S in place; a malformed token raises one "Feil med visuell string"
// notice per value.
void VisualToStr(std::string& s);

}  // namespace zova
