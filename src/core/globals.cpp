#include "core/globals.h"

namespace zova {

ProgramGlobals& Globals() {
  static ProgramGlobals g;
  return g;
}

}  // namespace zova
