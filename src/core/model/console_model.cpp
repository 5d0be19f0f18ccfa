#include "core/model/console_model.h"

#include <algorithm>

#include "core/visual.h"

namespace zova {

void AppendConsoleNotation(std::string& out, uint8_t b) {
  switch (b) {
    case 197:
    case 198:
    case 216:
    case 229:
    case 230:
    case 248:  // ÅÆØåæø
    case '!':
    case '#':
    case '@':
      out.push_back(static_cast<char>(b));
      return;
    default:
      AppendVisual(out, std::string_view(reinterpret_cast<const char*>(&b), 1));
  }
}

void ConsoleModel::SetScroll(int n) {
  scrollStep_ = std::clamp(n, 1, 8);
}

bool ConsoleModel::Hold(int machine, bool release, bool breakOnCrLf) {
  if (release) {
    if (machine != holder_) return false;
    if (col_ != 1) NewLine();
    holder_ = 0;
    return true;
  }
  if (holder_ != 0 && holder_ != machine) return false;
  holder_ = machine;
  breakOnCrLf_ = breakOnCrLf;
  return true;
}

void ConsoleModel::AddText(int machine, bool alt, std::string_view text, bool received) {
  if (machine != holder_) return;
  if (machine == 0)
    colour_ = ConsoleColour::Navy;
  else if (alt)
    colour_ = received ? ConsoleColour::Black : ConsoleColour::Red;
  else
    colour_ = received ? ConsoleColour::Green : ConsoleColour::Blue;
  WriteText(text.substr(0, kColumns));
}

void ConsoleModel::NewLineFor(int machine) {
  if (machine == holder_) NewLine();
}

void ConsoleModel::WriteText(std::string_view s) {
  std::string shown;
  for (char c : s) {
    bool lineEnd = c == '\r' || c == '\n';
    if (pendingBreak_ && !lineEnd) NewLine();
    pendingBreak_ = breakOnCrLf_ && lineEnd;
    shown.clear();
    AppendConsoleNotation(shown, static_cast<uint8_t>(c));
    for (char d : shown) Put(d);
  }
}

void ConsoleModel::Put(char c) {
  if (col_ > kColumns) NewLine();
  Line& line = lines_[static_cast<size_t>(row_ - 1)];
  line.text.resize(static_cast<size_t>(col_ - 1), ' ');
  line.text.push_back(c);
  line.colours[static_cast<size_t>(col_ - 1)] = colour_;
  ++col_;
  Changed(row_);
}

void ConsoleModel::NewLine() {
  pendingBreak_ = false;
  col_ = 1;
  if (row_ < kLines) {
    ++row_;
    return;
  }
  std::rotate(lines_.begin(), lines_.begin() + scrollStep_, lines_.end());
  for (int r = kLines - scrollStep_; r < kLines; ++r) lines_[static_cast<size_t>(r)] = Line{};
  row_ = kLines + 1 - scrollStep_;
  Changed(0);
}

}  // namespace zova
