#include "tools/offset_output.h"

#include "core/textfile.h"

namespace zova {

bool WriteOffsetFile(std::string_view target, std::string_view text) {
  TextFile f;
  bool ok = true;
  OpenWrite(target, f, ok);
  WriteText(f, text, ok);
  bool closed = true;
  CloseText(f, closed);
  return ok && closed;
}

}  // namespace zova
