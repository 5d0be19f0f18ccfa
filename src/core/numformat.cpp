#include "core/numformat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zova {

namespace {

std::string ZeroPadAfterSign(std::string digits, int width) {
  width = std::min(width, 255);
  bool negative = !digits.empty() && digits[0] == '-';
  if (static_cast<int>(digits.size()) >= width) return digits;
  size_t fill = static_cast<size_t>(width) - digits.size();
  digits.insert(negative ? 1 : 0, fill, '0');
  return digits;
}

}  // namespace

std::string IntToStrPad(long long n, int width) {
  std::string s = std::to_string(n);
  return PadStr(s, std::max<int>(std::min(width, 255), static_cast<int>(s.size())), true);
}

std::string IntToStrZero(long long n, int width) {
  return ZeroPadAfterSign(std::to_string(n), width);
}

std::string FloatToStr(double x, int decimals) {
  decimals = std::clamp(decimals, 0, 18);
  if (!std::isfinite(x)) x = 0;
  // Round half away from zero on the decimal value, as the original formatting does.
  double scale = std::pow(10.0, decimals);
  double r = std::round(x * scale) / scale;
  if (r == 0) r = 0;  // no "-0.000"
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, r);
  return buf;
}

std::string FloatToStrPad(int width, int decimals, double x) {
  std::string s = FloatToStr(x, decimals);
  return PadStr(s, std::max<int>(std::min(width, 255), static_cast<int>(s.size())), true);
}

std::string FloatToStrZero(int width, int decimals, double x) {
  return ZeroPadAfterSign(FloatToStr(x, decimals), width);
}

std::string FloatToStrSigned(int width, int decimals, double x) {
  std::string s = FloatToStrZero(width, decimals, x);
  if (s.empty() || s[0] == '-') return s;
  if (width == 0) return "+" + s;
  if (s[0] == '0') s[0] = '+';
  return s;
}

std::string PadStr(std::string_view s, int width, bool left) {
  if (width < 0) width = 0;
  std::string r(s);
  if (static_cast<int>(r.size()) < width) {
    size_t fill = static_cast<size_t>(width) - r.size();
    if (left)
      r.insert(0, fill, ' ');
    else
      r.append(fill, ' ');
  }
  r.resize(static_cast<size_t>(width));
  return r;
}

void SplitFirst(std::string_view sep, std::string& s, std::string& head) {
  auto p = sep.empty() ? std::string::npos : s.find(sep);
  if (p == std::string::npos) {
    head = s;
    s.clear();
    return;
  }
  head = s.substr(0, p);
  s.erase(0, p + sep.size());
}

}  // namespace zova
