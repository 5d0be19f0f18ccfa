#include "protocols/t3964r/tbilz.h"

#include "core/latin1.h"

namespace zova {

TBilz::TBilz(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : T3964R(links, sharedRequest, machineNo, true) {
  BilzPort = Trim(ReadIniStr(SectionName, "BilzPort", "COM" + std::to_string(machineNo + 1)));
  BilzSigar = ReadIniInt(SectionName, "BilzSigar", 1);
}

}  // namespace zova
