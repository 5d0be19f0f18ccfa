#include "netfiles/name_rules.h"

#include "core/latin1.h"

namespace zova {

NameRule ParseNameRule(std::string_view v) {
  std::string u = UpperCase(v);
  if (u == "KOMMENTARER") return NameRule::Kommentarer;
  if (u == "PARENTESER") return NameRule::Parenteser;
  if (u == "STANDARD") return NameRule::Standard;
  if (u == "MAZAK") return NameRule::Mazak;
  return NameRule::Invalid;
}

bool IsFileNameChar(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case '!':
    case '#':
    case '$':
    case '%':
    case '&':
    case '\'':
    case '-':
    case '.':
    case '@':
    case '^':
    case '_':
    case '{':
    case '}':
    case '~':
      return true;
    default:
      return false;
  }
}

namespace {

std::string FailName(std::string_view prefiks) {
  return std::string(prefiks) + "Feil";
}

std::string CutAtNonNameChar(std::string_view s) {
  size_t n = 0;
  while (n < s.size() && IsFileNameChar(static_cast<unsigned char>(s[n]))) ++n;
  return std::string(s.substr(0, n));
}

// A name of dots only would name the directory itself or its parent.
bool OnlyDots(std::string_view s) {
  return s.find_first_not_of('.') == std::string_view::npos;
}

}  // namespace

NameResult DelimiterName(const NameInput& in, std::string_view start, std::string_view stop) {
  std::string candidate;
  size_t at = start.empty() ? std::string_view::npos : in.head.find(start);
  if (at != std::string_view::npos) {
    std::string_view rest = in.head.substr(at + start.size());
    size_t end = stop.empty() ? std::string_view::npos : rest.find(stop);
    candidate = CutAtNonNameChar(rest.substr(0, end));
  }
  NameResult r;
  r.ok = true;
  if (!OnlyDots(candidate))
    r.name = candidate;
  else if (!OnlyDots(in.fileName))
    r.name = std::string(in.fileName);
  else
    r.name = FailName(in.prefiks);
  return r;
}

NameResult MazakName(const NameInput& in) {
  std::string candidate;
  bool ok = false;
  if (in.head.find('\0') != std::string_view::npos && in.head.size() > 80) {
    std::string_view from = in.head.substr(80);
    size_t n = 0;
    while (n < from.size() && (IsFileNameChar(static_cast<unsigned char>(from[n])) ||
                               from[n] == '/' || from[n] == '\\'))
      ++n;
    candidate = std::string(from.substr(0, n));
    ok = !candidate.empty();
  }
  size_t open = in.head.find('(');
  size_t close = open == std::string_view::npos ? open : in.head.find(')', open + 1);
  if (close != std::string_view::npos) {
    std::string_view inner = in.head.substr(open + 1, close - open - 1);
    size_t colon = inner.find(':');
    if (colon != std::string_view::npos) inner = inner.substr(colon + 1);
    inner = inner.substr(0, inner.find(' '));
    candidate = std::string(inner);
    ok = !candidate.empty();
  }
  for (char& c : candidate)
    if (c == '/') c = '\\';
  NameResult r;
  candidate = SafeRelativeDir(candidate);
  r.ok = ok && !candidate.empty();
  r.name = r.ok ? candidate : FailName(in.prefiks);
  return r;
}

NameResult FindProgramName(NameRule rule, const NameInput& in) {
  switch (rule) {
    case NameRule::Kommentarer:
      return DelimiterName(in, "(", ")");
    case NameRule::Parenteser:
      return DelimiterName(in, "(S)(", ")");
    case NameRule::Standard:
      return DelimiterName(in, in.start, in.stop);
    case NameRule::Mazak:
      return MazakName(in);
    case NameRule::Invalid:
      break;
  }
  NameResult r;
  r.name = FailName(in.prefiks);
  r.error = "Ugyldig filnavnrutine";
  return r;
}

NameResult UnreadableName(std::string_view prefiks, std::string_view error) {
  NameResult r;
  r.name = FailName(prefiks);
  r.error = std::string(error);
  return r;
}

std::string SafeRelativeDir(std::string_view name) {
  std::string out, part;
  auto flush = [&] {
    if (!part.empty() && part != "." && part != "..") {
      if (!out.empty()) out += '\\';
      out += part;
    }
    part.clear();
  };
  for (char c : name) {
    if (c == '/' || c == '\\')
      flush();
    else if (c != '\0' && c != ':')
      part += c;
  }
  flush();
  return out;
}

}  // namespace zova
