#include "files/transfer/reception_names.h"

#include "core/paths.h"
#include "files/namesearch/primitives.h"
#include "files/storage/name_guard.h"

namespace zova {
namespace {

bool StartsWithParent(std::string_view s) {
  return s.size() >= 3 && s[0] == '.' && s[1] == '.' && IsSep(s[2]);
}

}  // namespace

std::string StationNameFromControl(std::string_view name, const CharSet& katalogTegn,
                                   bool fellesKataloger) {
  std::string out(name);
  for (char& c : out)
    if (katalogTegn.test(static_cast<unsigned char>(c))) c = '\\';
  if (fellesKataloger && out.find('\\') != std::string::npos) out = "..\\" + out;
  return out;
}

std::string WithDefaultExt(std::string_view name, std::string_view ext) {
  std::string out(name);
  if (ExtPos(FileNameOf(out)) == 0) out += ext;
  return out;
}

std::string ResolveLeadingParents(std::string_view name, std::string_view dir) {
  std::string base(dir);
  while (StartsWithParent(name)) {
    base = ParentDir(base);
    name.remove_prefix(3);
  }
  return base + std::string(name);
}

std::string DirectoryMask(std::string_view name, std::string_view ext) {
  std::string n(name);
  if (n == kNoName) n.clear();
  const std::string tail = "\\" + std::string(kNoName);
  if (n.size() >= tail.size() && n.compare(n.size() - tail.size(), tail.size(), tail) == 0)
    n.resize(n.size() - kNoName.size());
  n = WithDefaultExt(n, ext);
  const std::string file = FileNameOf(n);
  const int dot = ExtPos(file);
  if (dot == 0) return n + "*.*";
  const size_t at = n.size() - file.size() + static_cast<size_t>(dot - 1);
  return n.substr(0, at) + "*" + n.substr(at);
}

std::string ReceiptText(std::string_view text, std::string_view name, long long count) {
  std::string out(text);
  const size_t n = out.find("#N");
  const size_t b = out.find("#B");
  const std::string number = std::to_string(count);
  // The later marker first, so that neither replacement is searched for the
  // other marker (a name may itself hold "#B").
  if (b != std::string::npos && (n == std::string::npos || b > n)) out.replace(b, 2, number);
  if (n != std::string::npos) out.replace(n, 2, name);
  if (b != std::string::npos && n != std::string::npos && b < n) out.replace(b, 2, number);
  return out;
}

std::string RemoveBlanksOutsideComments(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  int depth = 0;
  for (char c : line) {
    if (c == '(') ++depth;
    if (c == ')' && depth > 0) --depth;
    if (c == ' ' && depth == 0) continue;
    out += c;
  }
  return out;
}

}  // namespace zova
