// The Okuma header: whatever the Filnavn cell and the keys hold, the header
// is "$" and a name the control can file (a name part of at most OkumaNavn
// characters that does not begin with a digit, a dot, an extension), padded
// as the keys say; and a header's own name, sent again, names the same file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/latin1.h"
#include "serial/variants/okuma_header.h"

namespace {

using zova::OkumaHeaderKeys;
using zova::OkumaSendKind;

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string NameOf(const std::string& header, const OkumaHeaderKeys& keys) {
  const std::string nuls(3, '\0');
  std::string h = header;
  if (keys.leader > 0) {
    Check(h.compare(0, 3, nuls) == 0);
    h.erase(0, 3);
  } else {
    const std::string pad = keys.nullSpace ? nuls : std::string(4, ' ');
    Check(h.size() > pad.size() && h.compare(h.size() - pad.size(), pad.size(), pad) == 0);
    h.resize(h.size() - pad.size());
  }
  Check(!h.empty() && h[0] == '$');
  return h.substr(1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  OkumaHeaderKeys keys;
  keys.filNavnUt = (data[0] & 1) != 0;
  keys.nullSpace = (data[0] & 2) != 0;
  keys.leader = (data[0] & 4) != 0 ? 1 : 0;
  const auto kind = static_cast<OkumaSendKind>((data[0] >> 3) % 5);
  keys.okumaNavn = static_cast<int>(data[1] % 24) - 2;
  // The rest: Prefiks, Ext and the cell, separated by LF.
  std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::string parts[3];
  for (std::string& p : parts) {
    const size_t lf = rest.find('\n');
    p = std::string(rest.substr(0, lf));
    rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
  }
  keys.prefiks = parts[0];
  keys.ext = parts[1];
  const std::string& cell = parts[2];

  const std::string name = NameOf(zova::OkumaHeader(kind, cell, keys), keys);
  const size_t dot = name.rfind('.');
  Check(dot != std::string::npos && dot > 0 && dot + 1 < name.size());
  const size_t limit = keys.okumaNavn >= 1 ? static_cast<size_t>(keys.okumaNavn) : 16;
  Check(dot <= limit);
  Check(name.find_first_of("\\/:") == std::string::npos);
  Check(!(name[0] >= '0' && name[0] <= '9'));
  Check(zova::UpperCase(name) == name);
  if (kind == OkumaSendKind::Program && keys.filNavnUt)
    Check(zova::OkumaHeaderName(kind, name, keys) == name);
  return 0;
}
