#include "files/storage/macro.h"

namespace zova {
namespace {

constexpr size_t kNumberWindow = 60;
constexpr size_t kMaxParameter = 50;

bool IsParamChar(char c) {
  return c == '-' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

// Up to 60 characters after Start, cut at Stop, else the digits that lead.
int NumberAfter(std::string_view head, std::string_view start, std::string_view stop) {
  size_t p = start.empty() ? 0 : head.find(start);
  if (p == std::string_view::npos) return 0;
  std::string_view w = head.substr(p + start.size(), kNumberWindow);
  size_t q = stop.empty() ? std::string_view::npos : w.find(stop);
  if (q != std::string_view::npos) w = w.substr(0, q);
  while (!w.empty() && w.front() == ' ') w.remove_prefix(1);
  long long n = 0;
  for (char c : w) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
    if (n > 1000000000) return 0;
  }
  return static_cast<int>(n);
}

std::string ParameterAfter(std::string_view head, std::string_view marker) {
  if (marker.empty()) return "";
  size_t p = head.find(marker);
  if (p == std::string_view::npos) return "";
  std::string out;
  size_t i = p + marker.size();
  while (i < head.size() && head[i] == ' ') ++i;
  for (; i < head.size() && out.size() < kMaxParameter; ++i) {
    if (!IsParamChar(head[i])) break;
    out += head[i];
  }
  return out;
}

}  // namespace

bool MacroMarkersFor(std::string_view kind, MacroMarkers& m) {
  if (kind == "STANDARD") return true;
  if (kind == "PARENTESER") {
    m.makro = m.startHendelse = "(M)(";
    m.stoppHendelse = ")";
    m.startParameter.clear();  // the parameter follows the number's own brackets
    m.stoppParameter = ")";
    return true;
  }
  if (kind == "FANUC") {
    m.makro = m.startHendelse = "MAKRO";
    m.makroIkke = "%";
    m.stoppHendelse.clear();
    m.startParameter = "PARAM";
    return true;
  }
  return false;
}

bool MatchMacro(std::string_view head, const MacroMarkers& m, MacroMatch& out) {
  out = MacroMatch{};
  if (m.makro.empty() || head.find(m.makro) == std::string_view::npos) return false;
  if (!m.makroIkke.empty() && head.find(m.makroIkke) != std::string_view::npos) return false;
  const std::string& start = m.startHendelse.empty() ? m.makro : m.startHendelse;
  out.number = NumberAfter(head, start, m.stoppHendelse);
  if (out.number <= 0) return false;
  if (m.makro == "(M)(" && m.startParameter.empty()) {
    // The parameter stands in the bracket pair after the number's own.
    std::string marker = "(M)(" + std::to_string(out.number) + ")(";
    out.parameter = ParameterAfter(head, marker);
  } else {
    out.parameter = ParameterAfter(head, m.startParameter);
  }
  return true;
}

}  // namespace zova
