#pragma once
// Integer and number parsing shared by the configuration reads and the
// protocol parts. Positions are 1-based, as in the station's texts.

#include <cstdint>
#include <optional>
#include <string_view>

namespace zova {

// Leading blanks skipped, optional sign, then decimal digits or a hexadecimal
// number after "$", "x", "X" or "0x". The whole text must be consumed; an empty
// text or a value outside 32 bits fails.
std::optional<int32_t> ParseInteger(std::string_view s);

// A whole number with "." as decimal mark (optional sign and exponent);
// anything left over fails.
std::optional<double> ParseFloat(std::string_view s);

// Keeps only "-" and digits of S and parses that; 0 when it does not parse.
int32_t DigitsToInt(std::string_view s);

// Integer of the substring (Start 1-based, Count bytes); 0 when it does not parse.
int32_t SubStrToInt(std::string_view s, int start, int count);

// Trims S, takes the substring when Start > 0, accepts "," as decimal mark
// (the first "," becomes "."); 0 when it does not parse.
double TextToFloat(std::string_view s, int start = 0, int count = 0);

// Substring with Delphi Copy semantics: 1-based start, clipped to the text.
std::string_view Copy(std::string_view s, int start, int count);

}  // namespace zova
