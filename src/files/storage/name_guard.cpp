#include "files/storage/name_guard.h"

#include "core/globals.h"

#include "core/latin1.h"
#include "core/paths.h"

namespace zova {

std::string LexicalPath(std::string_view path, bool& escaped) {
  escaped = false;
  std::vector<std::string> parts;
  std::string lead;
  size_t i = 0;
  if (path.size() >= 2 && path[1] == ':') {
    lead = UpperCase(path.substr(0, 2));
    i = 2;
  }
  if (i < path.size() && IsSep(path[i])) lead += '/';
  while (i < path.size()) {
    while (i < path.size() && IsSep(path[i])) ++i;
    size_t j = i;
    while (j < path.size() && !IsSep(path[j])) ++j;
    std::string part = UpperCase(path.substr(i, j - i));
    i = j;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty())
        escaped = true;
      else
        parts.pop_back();
      continue;
    }
    parts.push_back(std::move(part));
  }
  std::string out = lead;
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k > 0) out += '/';
    out += parts[k];
  }
  return out;
}

bool InsideRoots(std::string_view path, const std::vector<std::string>& roots) {
  bool escaped = false;
  const std::string p = LexicalPath(path, escaped);
  if (escaped) return false;
  for (const std::string& root : roots) {
    if (root.empty()) continue;
    bool rootEscaped = false;
    std::string r = LexicalPath(root, rootEscaped);
    if (rootEscaped || r.empty()) continue;
    if (r.back() != '/') r += '/';
    if (p.size() > r.size() && p.compare(0, r.size(), r) == 0) return true;
  }
  return false;
}

std::string ParentDir(std::string_view dir) {
  std::string d(dir);
  while (d.size() > 1 && IsSep(d.back())) d.pop_back();
  size_t cut = d.find_last_of("\\/");
  if (cut == std::string::npos || cut == 0) return std::string(dir);
  return d.substr(0, cut + 1);
}

std::vector<std::string> MachineRoots(const std::string& dataDir, const std::string& katalog2,
                                      bool fellesKataloger) {
  std::vector<std::string> roots = {dataDir, katalog2, Globals().DataKatalog};
  if (fellesKataloger) roots.push_back(ParentDir(dataDir));
  return roots;
}

}  // namespace zova
