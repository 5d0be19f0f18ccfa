#include "core/numparse.h"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/latin1.h"

namespace zova {

std::optional<int32_t> ParseInteger(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    negative = s[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < s.size(); ++i) {
    int d;
    char c = s[i];
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return std::nullopt;
    value = value * base + d;
    // Hexadecimal may fill all 32 bits ($FFFFFFFF is -1), decimal may not overflow.
    const int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 2147483648LL : 2147483647LL);
    if (value > limit) return std::nullopt;
  }
  if (base == 16) {
    auto bits = static_cast<uint32_t>(value);
    auto v = static_cast<int32_t>(bits);
    return negative ? static_cast<int32_t>(0u - bits) : v;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

std::optional<double> ParseFloat(std::string_view s) {
  std::string t = Trim(s);
  if (t.empty()) return std::nullopt;
  const char* b = t.data();
  const char* e = b + t.size();
  if (*b == '+') ++b;
  double v = 0;
  auto [p, ec] = std::from_chars(b, e, v, std::chars_format::general);
  if (ec != std::errc() || p != e) return std::nullopt;
  return v;
}

int32_t DigitsToInt(std::string_view s) {
  std::string kept;
  for (char c : s)
    if (c == '-' || (c >= '0' && c <= '9')) kept.push_back(c);
  return ParseInteger(kept).value_or(0);
}

std::string_view Copy(std::string_view s, int start, int count) {
  if (start < 1) start = 1;
  if (count <= 0 || static_cast<size_t>(start) > s.size()) return {};
  return s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count));
}

int32_t SubStrToInt(std::string_view s, int start, int count) {
  return ParseInteger(Copy(s, start, count)).value_or(0);
}

double TextToFloat(std::string_view s, int start, int count) {
  std::string t = Trim(s);
  if (start > 0) t = std::string(Copy(t, start, count));
  auto comma = t.find(',');
  if (comma != std::string::npos) t[comma] = '.';
  return ParseFloat(t).value_or(0.0);
}

}  // namespace zova
