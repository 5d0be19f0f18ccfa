#include "protocols/lsv2/lsv2_names.h"

#include <algorithm>

#include "core/latin1.h"
#include "core/paths.h"

namespace zova::lsv2 {

namespace {

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

// Digits only, not all zeros: "$1F" or "+5" are names, not numbers.
bool IsPositiveNumber(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit) &&
         s.find_first_not_of('0') != std::string_view::npos;
}

bool IsNumber(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit);
}

std::string_view Cut(std::string_view s, int maxLen) {
  return s.substr(0, static_cast<size_t>(std::max(maxLen, 0)));
}

std::string_view From(std::string_view s, size_t pos1) {
  return pos1 - 1 < s.size() ? s.substr(pos1 - 1) : std::string_view();
}

}  // namespace

std::string NcProgramName(std::string_view fileName, int maxLen) {
  const std::string bare = FileNameOf(StripExt(fileName));
  std::string name(Cut(bare, maxLen));
  if (IsPositiveNumber(name))
    name = "%" + name;
  else if (!name.empty() && name[0] == 'L' && !IsNumber(name))
    name += "00";
  return name;
}

std::optional<std::string> NameFromControl(std::string_view text, int maxLen) {
  const size_t end = std::find_if(text.begin(), text.end(),
                                  [](char ch) { return static_cast<unsigned char>(ch) < 32; }) -
                     text.begin();
  text = text.substr(0, end);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty() && text.front() == '%') text.remove_prefix(1);
  text = Cut(text, maxLen);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

std::optional<std::string> OfferedFileName(std::string_view telegram, int maxLen) {
  const std::string_view field = From(telegram, 7).substr(0, 5);
  if (!field.empty() && field[0] == '%') return NameFromControl(From(telegram, 7), maxLen);
  std::string name(field);
  if (name.size() >= 2) name.erase(1, 1);
  return NameFromControl(name, maxLen);
}

std::optional<std::string> OperatorFetchFileName(std::string_view cell, int maxLen) {
  const std::string bare = Trim(StripExt(cell));
  if (bare.empty()) return std::nullopt;
  return std::string(Cut(bare, maxLen));
}

std::optional<std::string> TdppFileName(std::string_view telegram, int maxLen) {
  return NameFromControl(From(telegram, 8), maxLen);
}

std::optional<AreaRequest> AreaRequestOf(std::string_view telegram, int maxLen) {
  if (telegram.size() < 4) return std::nullopt;
  std::optional<std::string> name = NameFromControl(From(telegram, 5), maxLen);
  if (!name) return std::nullopt;
  return AreaRequest{std::string(telegram.substr(2, 2)), *name};
}

std::optional<std::string> TestProgramFileName(std::string_view prpp, int maxLen) {
  return NameFromControl(From(prpp, 5), maxLen);
}

}  // namespace zova::lsv2
