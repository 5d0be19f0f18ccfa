// Any configuration text parses; a write changes the value it names and
// keeps every other key's value.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/config/profile_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  zova::ProfileText p(text);
  auto before = p.Get("Program", "Maskiner");
  auto other = p.Get("Maskin1", "Protokoll");
  p.Set("Maskin1", "Ext", ".NC");
  zova::ProfileText again(p.Text());
  if (again.Get("Maskin1", "Ext") != std::optional<std::string>(".NC")) {
    // A section name with "]" or line breaks cannot be written back; only the
    // fixed names used here must always work.
    std::abort();
  }
  if (again.Get("Program", "Maskiner") != before) std::abort();
  if (again.Get("Maskin1", "Protokoll") != other) std::abort();
  return 0;
}
