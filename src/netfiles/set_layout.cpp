#include "netfiles/set_layout.h"

#include "core/latin1.h"
#include "core/paths.h"

namespace zova {

Placement PlaceOnControl(std::string_view name, bool mazak) {
  Placement p;
  if (!mazak) {
    p.name = std::string(name);
    return p;
  }
  std::string ext = ExtOf(name);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".nc") {
    p.name = StripExt(name) + ".EIA";
  } else {
    p.subdir = std::string(kHardDiskDir);
    p.name = std::string(name);
  }
  return p;
}

std::string SetMainMask(std::string_view s) {
  return ExtPos(s) > 0 ? std::string(s) : std::string(s) + ".*";
}

std::string SetMemberMask(std::string_view s, char sep) {
  if (ExtPos(s) > 0) return "";
  return std::string(s) + sep + "*.*";
}

std::optional<std::string> SetMemberControlName(std::string_view pcName, std::string_view s,
                                                char sep) {
  std::string prefix = UpperCase(std::string(s) + sep);
  std::string upper = UpperCase(pcName);
  if (upper.size() <= prefix.size() || upper.compare(0, prefix.size(), prefix) != 0)
    return std::nullopt;
  if (pcName.find('-') != std::string_view::npos) return std::nullopt;
  std::string rest(pcName.substr(prefix.size()));
  if (rest.empty() || rest[0] == '.') return std::nullopt;
  return rest;
}

std::string SetMemberPcName(std::string_view controlName, std::string_view s, char sep) {
  if (UpperCase(StripExt(controlName)) == UpperCase(s)) return std::string(controlName);
  return std::string(s) + sep + std::string(controlName);
}

}  // namespace zova
