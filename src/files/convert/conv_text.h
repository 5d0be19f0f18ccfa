#pragma once
// Small line tests shared by the conversions.

#include <cctype>
#include <string>
#include <string_view>

namespace zova::conv {

inline bool Holds(const std::string& s, std::string_view t) {
  return s.find(t) != std::string::npos;
}
inline bool Holds(const std::string& s, char c) {
  return s.find(c) != std::string::npos;
}
inline bool Begins(const std::string& s, char c) {
  return !s.empty() && s[0] == c;
}
inline bool Begins(const std::string& s, std::string_view t) {
  return s.starts_with(t);
}
inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace zova::conv
