#include "core/latin1.h"

namespace zova {

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = UpperChar(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = LowerChar(c);
  return r;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  return true;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && EqualsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string r;
  r.reserve(latin1.size() + latin1.size() / 8);
  for (char c : latin1) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      r.push_back(c);
    } else {
      r.push_back(static_cast<char>(0xC0 | (b >> 6)));
      r.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return r;
}

namespace {

// Length of the UTF-8 sequence starting at s[i] and its code point; 0 when invalid.
size_t DecodeUtf8(std::string_view s, size_t i, unsigned& cp) {
  auto b = static_cast<unsigned char>(s[i]);
  size_t n;
  if (b < 0x80) {
    cp = b;
    return 1;
  } else if ((b & 0xE0) == 0xC0) {
    n = 2;
    cp = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    n = 3;
    cp = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    n = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  // Overlong forms and surrogates are not UTF-8.
  static const unsigned kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

bool IsValidUtf8(std::string_view s) {
  unsigned cp;
  for (size_t i = 0; i < s.size();) {
    size_t n = DecodeUtf8(s, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string Utf8ToLatin1(std::string_view utf8) {
  std::string r;
  r.reserve(utf8.size());
  unsigned cp;
  for (size_t i = 0; i < utf8.size();) {
    size_t n = DecodeUtf8(utf8, i, cp);
    if (n == 0) {  // not UTF-8: keep the byte as Latin-1
      r.push_back(utf8[i]);
      ++i;
      continue;
    }
    r.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
    i += n;
  }
  return r;
}

namespace {
bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsTrimmed(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsTrimmed(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsTrimmed(s[b])) ++b;
  while (e > b && IsTrimmed(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace zova
