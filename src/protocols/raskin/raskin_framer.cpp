#include "protocols/raskin/raskin_framer.h"

#include <algorithm>

#include "core/paths.h"

namespace zova::raskin {

namespace {

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

bool IsNameChar(char ch) {
  return IsDigit(ch) || (ch >= 'A' && ch <= 'Z') || ch == '_';
}

bool IsPositiveNumber(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit) &&
         text.find_first_not_of('0') != std::string_view::npos;
}

}  // namespace

LineEnd LineCollector::Feed(char ch) {
  if (ch == kCr)
    end_ = LineEnd::Cr;
  else if (ch == kEot)
    end_ = LineEnd::Eot;
  else
    line_ += ch;
  return end_;
}

void LineCollector::Reset() {
  line_.clear();
  end_ = LineEnd::Open;
}

std::string FetchRequest(std::string_view cell) {
  std::string name = StripExt(cell);
  // The control takes a bare number as a program number only after "PC,".
  if (IsPositiveNumber(name)) name.insert(0, "PC,");
  return name + kCr;
}

std::string NameFromFirstLine(std::string_view line, std::string_view ext) {
  const size_t dollar = line.find('$');
  if (dollar == std::string_view::npos) return {};
  size_t end = dollar + 1;
  while (end < line.size() && IsNameChar(line[end])) ++end;
  std::string name(line.substr(dollar + 1, end - dollar - 1));
  if (name.empty()) return {};
  if (ExtPos(name) == 0) name += ext;
  return name;
}

}  // namespace zova::raskin
