// FindProgramName over every method and mode with settings and keys taken
// from the input: header 8 bytes of settings, then key, start, stop, key 2,
// start 2, stop 2, program extension and the header text, separated by 0xFF.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "files/namesearch/find_program_name.h"
#include "files/namesearch/head_text.h"

namespace {

std::vector<std::string_view> Split(std::string_view s, char sep, size_t parts) {
  std::vector<std::string_view> out;
  while (out.size() + 1 < parts) {
    size_t p = s.find(sep);
    if (p == std::string_view::npos) break;
    out.push_back(s.substr(0, p));
    s.remove_prefix(p + 1);
  }
  out.push_back(s);
  out.resize(parts);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  const uint8_t* b = data;
  std::string_view rest(reinterpret_cast<const char*>(data + 8), size - 8);
  auto f = Split(rest, '\xFF', 8);

  zova::FindInput in;
  in.method = b[0] % zova::kMethodCount;
  in.mode = static_cast<zova::SearchMode>(b[1] % 5);
  in.tallSjekk = b[2] & 1;
  in.bareTall = b[2] & 2;
  in.filNavnProgram = b[2] & 4;
  in.maxLengde = b[3];
  in.tallLengde = static_cast<int8_t>(b[4]);
  in.startLinje = static_cast<int8_t>(b[5]) % 16;
  in.maxLinjer = static_cast<int8_t>(b[6]) % 16;
  in.maxLinjer2 = (b[2] & 8) ? in.maxLinjer : static_cast<int8_t>(b[7]) % 16;
  in.seriesThreshold = (b[2] & 16) ? -static_cast<int>(b[7]) * 100000 : 5000;
  for (char c : f[6].substr(0, 4)) in.extraChars.set(static_cast<unsigned char>(c));
  in.keys = {std::string(f[0]), std::string(f[1]), std::string(f[2]),
             std::string(f[3]), std::string(f[4]), std::string(f[5])};
  in.programExt = std::string(f[6]);
  const std::string head = (b[2] & 32) ? zova::HeadOfText(f[7], 1 + b[7], f[0]) : std::string(f[7]);
  in.headerText = head;

  zova::NameResult r;
  r.firstPair = b[2] & 64;
  zova::FindProgramName(in, r);
  if (r.name.empty() && !(in.filNavnProgram && in.mode == zova::smSave)) std::abort();
  // Extended is decided before the number is padded, so a found "00" may
  // end as "0000" with Extended still set: no check on that pair.
  if (r.askName != (in.filNavnProgram && in.mode == zova::smSave)) std::abort();
  return 0;
}
