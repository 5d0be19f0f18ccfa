// Any bytes decode without reading out of bounds, and the display form of any
// bytes decodes back to them.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/visual.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string s(reinterpret_cast<const char*>(data), size);
  zova::VisualDecoded d = zova::DecodeVisual(s);
  if (d.bytes.size() > s.size()) std::abort();
  zova::VisualDecoded back = zova::DecodeVisual(zova::StrToVisual(s));
  if (back.error || back.bytes != s) std::abort();
  return 0;
}
