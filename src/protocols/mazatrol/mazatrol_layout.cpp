#include "protocols/mazatrol/mazatrol_layout.h"

#include "core/latin1.h"
#include "core/paths.h"
#include "files/namesearch/primitives.h"

namespace zova::mazatrol {

namespace {

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  return -1;
}

// The byte two hex digits at At (0-based) give, or -1.
int HexByte(std::string_view text, size_t at) {
  if (at + 2 > text.size()) return -1;
  const int hi = HexDigit(text[at]), lo = HexDigit(text[at + 1]);
  return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

// The first occurrence of Pattern at an even 0-based offset (an odd
// position), or npos.
size_t FindAligned(std::string_view line, std::string_view pattern) {
  for (size_t at = line.find(pattern); at != std::string_view::npos;
       at = line.find(pattern, at + 1))
    if (at % 2 == 0) return at;
  return std::string_view::npos;
}

// The earlier of Forward and Reversed at an odd position.
std::optional<LearnedNumber> FindEither(std::string_view line, std::string_view forward,
                                        std::string_view reversed, int width) {
  const size_t f = FindAligned(line, forward), r = FindAligned(line, reversed);
  if (f == std::string_view::npos && r == std::string_view::npos) return std::nullopt;
  const bool swap = r < f;
  return LearnedNumber{static_cast<int>((swap ? r : f) + 1), width, swap};
}

}  // namespace

int NumberBytes(int width) {
  if (width < 3) return 1;
  return width == 8 ? 4 : 2;
}

std::optional<long long> DecodeNumber(std::string_view line, const NumberPlace& place) {
  if (place.start < 1) return std::nullopt;
  const int bytes = NumberBytes(place.width);
  const size_t at = static_cast<size_t>(place.start - 1);
  long long number = 0;
  for (int i = 0; i < bytes; ++i) {
    const int b = HexByte(line, at + 2 * static_cast<size_t>(i));
    if (b < 0) return std::nullopt;
    if (place.swap)
      number |= static_cast<long long>(b) << (8 * i);
    else
      number = number * 256 + b;
  }
  return number;
}

long long DropFiveThousand(long long number, int width) {
  return width == 4 && number > 5000 && number <= 9999 ? number - 5000 : number;
}

std::string NumberFileName(long long number, int width, bool kortFilNavn, std::string_view ext) {
  std::string digits = std::to_string(number);
  if (!kortFilNavn && width > 0 && digits.size() < static_cast<size_t>(width))
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits + std::string(ext);
}

bool TitleLineFinder::IsTitleLine(int lineNo, std::string_view line) {
  if (place_.line < 1) return false;
  if (takeNext_) {
    takeNext_ = false;
    return true;
  }
  if (lineNo != place_.line) return false;
  if (line.substr(0, place_.lineStart.size()) == place_.lineStart) return true;
  takeNext_ = true;
  return false;
}

std::string DecodeTitle(std::string_view line, const TitlePlace& place) {
  if (place.start < 1) return "";
  const size_t at = static_cast<size_t>(place.start - 1);
  if (at >= line.size()) return "";
  if (place.plain) {
    if (at < 2) return "";
    int length = HexByte(line, at - 2);
    if (length < 0) return "";
    if (place.length > 0 && length > place.length) length = place.length;
    return std::string(line.substr(at, static_cast<size_t>(length)));
  }
  std::string title;
  for (int i = 0; i < place.length; ++i) {
    const int b = HexByte(line, at + 2 * static_cast<size_t>(i));
    if (b <= 0) break;  // a NUL pads a short title
    title += static_cast<char>(b);
  }
  return title;
}

bool IsTitleCommentChar(char ch) {
  const auto u = static_cast<unsigned char>(ch);
  if (u < 32 || u == 127) return false;
  switch (ch) {
    case '\\':
    case '/':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
      return false;
    default:
      return true;
  }
}

std::string TitleFileName(std::string_view title, bool ekstraKommentar, const CharSet& extra,
                          int padTo, std::string_view ext) {
  std::string name(title);
  if (ekstraKommentar) {
    size_t n = 0;
    while (n < name.size() && IsTitleCommentChar(name[n])) ++n;
    name.resize(n);
  } else {
    FilterName(false, &extra, name);
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  if (name.empty()) return "";
  if (padTo > 0 && name.size() < static_cast<size_t>(padTo))
    name.insert(0, static_cast<size_t>(padTo) - name.size(), '0');
  if (ExtPos(FileNameOf(name)) == 0) name += ext;
  return name;
}

std::optional<LearnedNumber> FindNumberPlace(std::string_view line) {
  if (auto two = FindEither(line, "0D05", "050D", 4)) return two;
  return FindEither(line, "01FCA055", "55A0FC01", 8);
}

std::optional<LearnedTitle> FindTitlePlace(std::string_view line) {
  size_t at = line.find("33333333");
  if (at == std::string_view::npos) return std::nullopt;
  if (at % 2 != 0) ++at;
  size_t count = 0;
  while (at + count < line.size() && line[at + count] == '3') ++count;
  if (count == 0) return std::nullopt;
  LearnedTitle t;
  t.start = static_cast<int>(at + 1);
  t.plain = at >= 2 && HexByte(line, at - 2) == static_cast<int>(count);
  t.length = static_cast<int>(t.plain ? count : count / 2);
  return t;
}

}  // namespace zova::mazatrol
