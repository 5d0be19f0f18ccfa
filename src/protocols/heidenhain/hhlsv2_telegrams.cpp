#include "protocols/heidenhain/hhlsv2_telegrams.h"

#include <algorithm>

#include "core/paths.h"

namespace zova::hhlsv2 {

std::string ProgramName(std::string_view fileName, int maxLen, char defaultExt) {
  const std::string bare = FileNameOf(StripExt(fileName));
  return bare.substr(0, static_cast<size_t>(std::max(maxLen, 0))) + "." + defaultExt;
}

std::string ChangeDir(std::string_view dir) {
  std::string t(kChangeDir);
  t += dir;
  t += '\0';
  return t;
}

std::string NameTelegram(std::string_view kind, std::string_view name,
                         std::string_view terminator) {
  std::string t(kind);
  t += name;
  t += terminator;
  return t;
}

std::optional<std::string> FetchedData(std::string_view telegram) {
  if (telegram.substr(0, kData.size()) != kData) return std::nullopt;
  std::string data(telegram.substr(kData.size()));
  std::replace(data.begin(), data.end(), '\0', '\r');
  return data;
}

}  // namespace zova::hhlsv2
