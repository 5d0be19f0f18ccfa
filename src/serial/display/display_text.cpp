#include "serial/display/display_text.h"

namespace zova {

namespace {

constexpr char kTab = 9, kLf = 10, kFf = 12, kCr = 13, kEsc = 27, kUs = 31;

// The Norwegian letters in Latin-1 and what each display set makes of them.
struct Letter {
  unsigned char latin1;
  const char* pair;
  unsigned char own;
  char iso646;
};
constexpr Letter kLetters[] = {
    {0xE6, "ae", 197, '{'},  // æ
    {0xF8, "o", 207, '|'},   // ø
    {0xE5, "aa", 196, '}'},  // å
    {0xC6, "AE", 165, '['},  // Æ
    {0xD8, "0", 175, '\\'},  // Ø
    {0xC5, "AA", 164, ']'},  // Å
};

}  // namespace

std::string ConvertDisplayLetters(std::string_view text, bool erstatt, int tegnSett) {
  std::string out;
  out.reserve(text.size());
  // One pass: a letter's code is never taken for another letter (the own
  // code of æ is the Latin-1 code of Å).
  for (char ch : text) {
    const Letter* hit = nullptr;
    for (const Letter& l : kLetters)
      if (static_cast<unsigned char>(ch) == l.latin1) hit = &l;
    if (!hit)
      out += ch;
    else if (erstatt)
      out += hit->pair;
    else if (tegnSett == 1)
      out += static_cast<char>(hit->own);
    else if (tegnSett == 2)
      out += hit->iso646;
    else
      out += ch;
  }
  return out;
}

std::string CentreInColumns(std::string_view text, int columns) {
  if (columns <= 0) return {};
  const auto width = static_cast<size_t>(columns);
  std::string out;
  if (text.size() < width) out.assign((width - text.size()) / 2, ' ');
  out += text;
  if (out.size() > width) out.resize(width);
  return out;
}

std::string CharacterDisplayBytes(const DisplaySettings& s, bool second, std::string_view text1,
                                  std::string_view text2) {
  // Converted before centring: a letter pair widens the text it stands in.
  std::string t1(text1), t2(text2);
  if (s.erstatt) t1 = ConvertDisplayLetters(t1, true, s.tegnSett);
  if (s.erstatt || s.lines == 1) t2 = ConvertDisplayLetters(t2, s.erstatt, s.tegnSett);
  t1 = CentreInColumns(t1, s.kind);
  t2 = CentreInColumns(t2, s.kind);
  std::string out;
  if (s.lines == 1) {
    out = {kCr, kLf};
    return out + t2;
  }
  out = {kEsc, '@', kEsc, 'R', kTab, kFf};
  if (second) out += {kUs, 'E', kLf};
  return out + t1 + kCr + kLf + t2;
}

std::string LineDisplayBytes(std::string_view text2) {
  return "#ST\r\n#ER " + std::string(text2) + "\r\n#EN\r\n";
}

std::string WindowDisplayText(std::string_view text1, std::string_view text2) {
  std::string out(text1);
  if (!out.empty() && !text2.empty()) out += ' ';
  return out + std::string(text2);
}

}  // namespace zova
