#include "serial/variants/okuma_header.h"

#include "core/latin1.h"
#include "core/paths.h"

namespace zova {

namespace {

constexpr size_t kDefaultNameLength = 16;
const std::string kMainProgramExt = "MIN";

bool IsLetter(char c) {
  return c >= 'A' && c <= 'Z';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The station's cell may hold a path with a drive: only the file name goes
// to the control.
std::string WithoutDirectories(const std::string& path) {
  const size_t last = path.find_last_of("\\/:");
  return last == std::string::npos ? path : path.substr(last + 1);
}

std::string ProgramName(const std::string& cell, const OkumaHeaderKeys& keys) {
  if (!keys.filNavnUt) return {};
  std::string name = Trim(WithoutDirectories(UpperCase(cell)));
  if (!name.empty() && IsDigit(name[0])) name = OkumaPrefiks(keys.prefiks) + name;
  return name;
}

std::string ChosenName(OkumaSendKind kind, const std::string& cell, const OkumaHeaderKeys& keys) {
  switch (kind) {
    case OkumaSendKind::Tool:
      return "TOOL";
    case OkumaSendKind::Directory:
      return "DIR";
    case OkumaSendKind::Receipt:
      return "OK";
    case OkumaSendKind::ErrorReceipt:
      return "FEIL";
    case OkumaSendKind::Program:
      break;
  }
  return ProgramName(cell, keys);
}

// The machine's extension as ".EXT"; empty when it has none.
std::string DottedExt(const std::string& ext) {
  std::string e = UpperCase(Trim(ext));
  if (!e.empty() && e[0] != '.') e.insert(0, 1, '.');
  return e == "." ? std::string() : e;
}

}  // namespace

std::string OkumaPrefiks(const std::string& value) {
  const std::string p = UpperCase(Trim(value));
  if (p.empty() || !IsLetter(p[0])) return "P";
  // A separator or blank in it would break the name up on the control.
  size_t end = 1;
  while (end < p.size() && (IsLetter(p[end]) || IsDigit(p[end]))) ++end;
  return p.substr(0, end);
}

std::string OkumaHeaderName(OkumaSendKind kind, const std::string& cell,
                            const OkumaHeaderKeys& keys) {
  std::string name = ChosenName(kind, cell, keys);
  if (name.empty()) name = "A." + kMainProgramExt;
  const int dot = ExtPos(name);
  std::string part = dot > 0 ? name.substr(0, static_cast<size_t>(dot - 1)) : name;
  std::string ext = dot > 0 ? name.substr(static_cast<size_t>(dot)) : std::string();
  // A name part the control cannot file ("" of ".NC") gets the fixed name.
  if (part.empty()) part = "A";
  const size_t limit =
      keys.okumaNavn >= 1 ? static_cast<size_t>(keys.okumaNavn) : kDefaultNameLength;
  if (part.size() > limit) part.resize(limit);
  // The station's own programs are main programs to the control; another
  // extension (a subprogram's .SSB) is the control's own and stays.
  const std::string own = DottedExt(keys.ext);
  if (ext.empty() || (!own.empty() && own != "." + kMainProgramExt && "." + ext == own))
    ext = kMainProgramExt;
  return part + "." + ext;
}

std::string OkumaHeader(OkumaSendKind kind, const std::string& cell, const OkumaHeaderKeys& keys) {
  const std::string header = "$" + OkumaHeaderName(kind, cell, keys);
  if (keys.leader > 0) return std::string(3, '\0') + header;
  if (keys.nullSpace) return header + std::string(3, '\0');
  return header + "    ";
}

}  // namespace zova
