#pragma once
// Tool-identification chip reader on the 3964R layer: reads only its keys
// (BilzPort, BilzSigar), which the LSV2 tool variants use.

#include <string>

#include "protocols/t3964r/t3964r.h"

namespace zova {

class TBilz : public T3964R {
 public:
  TBilz(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  std::string BilzPort;
  int BilzSigar = 1;
};

}  // namespace zova
