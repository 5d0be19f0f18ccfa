#pragma once
// The programs the demo's simulated control drops, one after another.

#include <string>

namespace zova {

struct DemoDrop {
  std::string name, data;
};
DemoDrop DemoDropProgram(int k);

}  // namespace zova
