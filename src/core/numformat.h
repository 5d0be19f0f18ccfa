#pragma once
// Number formatting with padding, as the offset programs and logs need it:
// "." is always the decimal mark.

#include <string>
#include <string_view>

namespace zova {

// Blanks on the left up to Width (capped at 255).
std::string IntToStrPad(long long n, int width);
// Zeros up to Width; for a negative number after the "-" ("-007").
std::string IntToStrZero(long long n, int width);
// Fixed point with Decimals decimals, rounded half away from zero.
std::string FloatToStr(double x, int decimals);
std::string FloatToStrPad(int width, int decimals, double x);
std::string FloatToStrZero(int width, int decimals, double x);
// As FloatToStrZero; with Width 0 a "+" goes before a non-negative value, with
// Width > 0 a leading "0" becomes "+" ("0012.500" gives "+012.500").
std::string FloatToStrSigned(int width, int decimals, double x);

// Blanks added (on the left when Left) up to Width, then cut to Width.
std::string PadStr(std::string_view s, int width, bool left);
// Head = text before the first Sep, S = text after it; without Sep Head = S, S = "".
void SplitFirst(std::string_view sep, std::string& s, std::string& head);
inline std::string BoolToDigit(bool b) {
  return b ? "1" : "0";
}

}  // namespace zova
