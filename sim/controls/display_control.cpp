#include "controls/display_control.h"

#include <algorithm>
#include <iostream>

#include "core/latin1.h"

namespace zova::sim {

namespace {

constexpr char kLf = 10, kFf = 12, kCr = 13, kEsc = 27, kUs = 31;
constexpr int kNorwegianSet = 9;

// One byte as the display draws it, in UTF-8.
std::string Glyph(unsigned char b, DisplayCharset charset, bool norwegian) {
  static const struct {
    unsigned char own;
    char iso646;
    const char* utf8;
  } kLetters[] = {{197, '{', "æ"}, {207, '|', "ø"},  {196, '}', "å"},
                  {165, '[', "Æ"}, {175, '\\', "Ø"}, {164, ']', "Å"}};
  for (const auto& l : kLetters) {
    if (charset == DisplayCharset::Own && b == l.own) return l.utf8;
    if ((charset == DisplayCharset::Norsk || norwegian) &&
        b == static_cast<unsigned char>(l.iso646))
      return l.utf8;
  }
  return Latin1ToUtf8(std::string(1, static_cast<char>(b)));
}

std::string Trimmed(const std::string& s) {
  const size_t from = s.find_first_not_of(' ');
  if (from == std::string::npos) return {};
  return s.substr(from, s.find_last_not_of(' ') - from + 1);
}

}  // namespace

CharacterScreen::CharacterScreen(int columns, int lines, DisplayCharset charset)
    : columns_(static_cast<size_t>(std::max(columns, 1))),
      charset_(charset),
      rows_(static_cast<size_t>(std::max(lines, 1))) {}

void CharacterScreen::Reset() {
  for (std::string& r : rows_) r.clear();
  row_ = col_ = 0;
}

void CharacterScreen::NewLine() {
  if (row_ + 1 < rows_.size()) {
    ++row_;
    return;
  }
  rows_.erase(rows_.begin());
  rows_.emplace_back();
}

void CharacterScreen::Feed(std::string_view bytes) {
  for (char ch : bytes) Put(ch);
}

void CharacterScreen::Put(char ch) {
  if (!pending_.empty()) {
    pending_ += ch;
    if (pending_[0] == kEsc && pending_.size() == 2 && pending_[1] == '@') {
      Reset();
      norwegian_ = false;
    } else if (pending_[0] == kEsc && pending_.size() == 2 && pending_[1] == 'R') {
      return;  // the set's number follows
    } else if (pending_[0] == kEsc && pending_.size() == 3) {
      norwegian_ = ch == kNorwegianSet;
    }
    pending_.clear();
    return;
  }
  if (ch == kEsc || ch == kUs) {
    pending_ = ch;
  } else if (ch == kFf) {
    Reset();
  } else if (ch == kCr) {
    col_ = 0;
  } else if (ch == kLf) {
    NewLine();
  } else if (static_cast<unsigned char>(ch) >= 32 && col_ < columns_) {
    std::string& r = rows_[row_];
    if (r.size() <= col_) r.resize(col_ + 1, ' ');
    r[col_++] = ch;
  }
}

std::vector<std::string> CharacterScreen::Lines() const {
  std::vector<std::string> out;
  for (const std::string& r : rows_) {
    std::string line;
    for (char ch : r) line += Glyph(static_cast<unsigned char>(ch), charset_, norwegian_);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out.push_back(line);
  }
  return out;
}

std::vector<std::string> LineDisplayMessages(std::string_view bytes, DisplayCharset charset) {
  std::vector<std::string> shown;
  std::string line, text;
  bool open = false;
  for (char ch : bytes) {
    if (ch == kCr) continue;
    if (ch != kLf) {
      line += ch;
      continue;
    }
    if (line == "#ST") {
      open = true;
      text.clear();
    } else if (open && line.rfind("#ER ", 0) == 0) {
      text.clear();
      for (char c : line.substr(4)) text += Glyph(static_cast<unsigned char>(c), charset, false);
    } else if (open && line == "#EN") {
      shown.push_back(text);
      open = false;
    }
    line.clear();
  }
  return shown;
}

DisplayControl::DisplayControl(SimLine& line, const SimOptions& options)
    : StandardControl(line, options) {
  AddCommand(
      {"display-show",
       {0, {"--kind", "--columns", "--lines", "--charset", "--first", "--quiet", "--expect"}, {}},
       true,
       Bind(&DisplayControl::Show)});
}

bool DisplayControl::Show(const SimCommand& cmd, std::string& error) {
  bool ok = true;
  const int columns = static_cast<int>(cmd.Num("--columns", 20, ok));
  const int lines = static_cast<int>(cmd.Num("--lines", 2, ok));
  const int first = static_cast<int>(cmd.Num("--first", 10000, ok));
  const int quiet = static_cast<int>(cmd.Num("--quiet", 1000, ok));
  if (!ok || columns < 1 || lines < 1) {
    error = "display-show: a number option is not a positive number";
    return false;
  }
  const std::string kind = cmd.Opt("--kind", "char"), set = cmd.Opt("--charset", "own");
  if ((kind != "char" && kind != "line") || (set != "own" && set != "norsk")) {
    error = "display-show: --kind is char or line, --charset own or norsk";
    return false;
  }
  const DisplayCharset charset = set == "own" ? DisplayCharset::Own : DisplayCharset::Norsk;
  std::string got;
  for (;;) {
    const size_t before = got.size();
    if (ReadSome(got, got.empty() ? first : quiet) == ReadStatus::kGone || got.size() == before)
      break;
  }
  if (got.empty()) {
    error = "display-show: nothing came";
    return false;
  }
  std::vector<std::string> shown;
  if (kind == "line") {
    shown = LineDisplayMessages(got, charset);
    for (const std::string& m : shown) std::cout << "display: " << m << "\n";
  } else {
    CharacterScreen screen(columns, lines, charset);
    screen.Feed(got);
    shown = screen.Lines();
    for (size_t i = 0; i < shown.size(); ++i)
      std::cout << "display line " << i + 1 << ": " << shown[i] << "\n";
  }
  std::cout.flush();
  if (!cmd.Has("--expect")) return true;
  for (const std::string& s : shown)
    if (Trimmed(s) == cmd.Opt("--expect")) return true;
  error = "display-show: \"" + cmd.Opt("--expect") + "\" is not shown";
  return false;
}

}  // namespace zova::sim
