#include "controls/terminal_screen.h"

#include <algorithm>

namespace zova::sim {

TerminalScreen::TerminalScreen(int lines, int columns)
    : lines_(std::max(lines, 1)),
      columns_(std::max(columns, 1)),
      rows_(static_cast<size_t>(lines_), std::string(static_cast<size_t>(columns_), ' ')) {}

void TerminalScreen::Feed(const std::string& bytes) {
  for (char c : bytes) {
    if (escape_) {
      escape_ = false;
      if (c == 'L')
        for (std::string& r : rows_) r.assign(static_cast<size_t>(columns_), ' ');
      else if (c == 'J')
        row_ = col_ = 0;
      continue;
    }
    switch (c) {
      case '\x1b':
        escape_ = true;
        break;
      case '\r':
        col_ = 0;
        break;
      case '\n':
        NextLine();
        break;
      case '\b':
        if (col_ > 0) --col_;
        break;
      default:
        Put(c);
    }
  }
}

void TerminalScreen::Put(char c) {
  if (col_ >= columns_) {
    col_ = 0;
    NextLine();
  }
  rows_[static_cast<size_t>(row_)][static_cast<size_t>(col_++)] = c;
}

void TerminalScreen::NextLine() {
  if (row_ + 1 < lines_) {
    ++row_;
    return;
  }
  rows_.erase(rows_.begin());
  rows_.emplace_back(static_cast<size_t>(columns_), ' ');
}

std::vector<std::string> TerminalScreen::Lines() const {
  std::vector<std::string> out;
  for (const std::string& r : rows_) {
    const size_t end = r.find_last_not_of(' ');
    out.push_back(end == std::string::npos ? std::string() : r.substr(0, end + 1));
  }
  return out;
}

bool TerminalScreen::Shows(const std::string& text) const {
  for (const std::string& r : Lines())
    if (r.find(text) != std::string::npos) return true;
  return false;
}

std::string TerminalScreen::Summary() const {
  std::string s;
  for (const std::string& r : Lines()) s += (s.empty() ? "" : "|") + r;
  return s;
}

}  // namespace zova::sim
