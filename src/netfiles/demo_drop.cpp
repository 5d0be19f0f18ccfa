#include "netfiles/demo_drop.h"

namespace zova {

DemoDrop DemoDropProgram(int k) {
  static const char* const kPrograms[] = {"HUS1", "AKSEL", "FLENS"};
  std::string prog = kPrograms[k % 3];
  DemoDrop d;
  d.name = "O" + std::to_string(1000 + k % 100) + ".NC";
  d.data = "%\r\n(S)(" + prog + " DEMO)\r\nG90 G0 X0 Y0\r\nG1 X" + std::to_string(k % 50) +
           " F200\r\nM30\r\n%\r\n";
  return d;
}

}  // namespace zova
