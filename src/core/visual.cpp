#include "core/visual.h"

#include "core/latin1.h"
#include "core/numparse.h"
#include "core/uihost.h"

namespace zova {

namespace {

constexpr std::string_view kNames[32] = {"NUL", "SOH", "STX", "ETX",  "EOT", "ENQ", "ACK", "BEL",
                                         "BS",  "TAB", "LF",  "VT",   "FF",  "CR",  "SO",  "SI",
                                         "DLE", "XON", "DC2", "XOFF", "DC4", "NAK", "SYN", "ETB",
                                         "CAN", "EM",  "SUB", "ESC",  "FS",  "GS",  "RS",  "US"};

bool ShownAsNumber(uint8_t b) {
  return b >= 127 || b == '!' || b == '#' || b == '@' || b == '[' || b == ']';
}

}  // namespace

std::string_view ControlName(uint8_t b) {
  return b < 32 ? kNames[b] : std::string_view();
}

void AppendVisual(std::string& out, std::string_view s) {
  for (char c : s) {
    auto b = static_cast<uint8_t>(c);
    if (b < 32) {
      out.push_back('[');
      out.append(kNames[b]);
      out.push_back(']');
    } else if (ShownAsNumber(b)) {
      out.push_back('[');
      out.append(std::to_string(b));
      out.push_back(']');
    } else {
      out.push_back(c);
    }
  }
}

std::string CharToVisual(uint8_t b) {
  std::string r;
  char c = static_cast<char>(b);
  AppendVisual(r, std::string_view(&c, 1));
  return r;
}

std::string StrToVisual(std::string_view s) {
  std::string r;
  r.reserve(s.size() * 2);
  AppendVisual(r, s);
  return r;
}

bool VisualTokenToChar(std::string_view token, uint8_t& b) {
  if (token.size() >= 3 && token.front() == '[' && token.back() == ']') {
    auto n = ParseInteger(token.substr(1, token.size() - 2));
    if (n && *n >= 0 && *n <= 255) {
      b = static_cast<uint8_t>(*n);
      return true;
    }
  }
  for (int i = 0; i < 32; ++i) {
    std::string_view name = kNames[i];
    if (token.size() == name.size() + 2 && token.front() == '[' && token.back() == ']' &&
        token.substr(1, name.size()) == name) {
      b = static_cast<uint8_t>(i);
      return true;
    }
  }
  return false;
}

VisualDecoded DecodeVisual(std::string_view s) {
  VisualDecoded r;
  if (s.size() < 3 || s.find('[') == std::string_view::npos) {
    r.bytes = std::string(s);
    return r;
  }
  r.bytes.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '[') {
      r.bytes.push_back(s[i]);
      continue;
    }
    std::string_view window = s.substr(i, 6);
    size_t close = window.find(']');
    if (close == std::string_view::npos) {
      r.error = true;  // the "[" is dropped, the scan goes on after it
      continue;
    }
    std::string token = UpperCase(window.substr(0, close + 1));
    uint8_t b;
    if (VisualTokenToChar(token, b))
      r.bytes.push_back(static_cast<char>(b));
    else
      r.error = true;
    i += close;
  }
  return r;
}

void VisualToStr(std::string& s) {
  VisualDecoded d = DecodeVisual(s);
  if (d.error) ShowNotice("Feil med visuell string", s);
  s = std::move(d.bytes);
}

}  // namespace zova
