#pragma once
// Carries out an operator's order on the station, on the main thread, the
// way the window does: the file is chosen into the Filnavn cell, the order
// goes into the machine's request record, a restart goes through the machine
// set. A file name must lie in the machine's directories (the same guard as
// for names a control sends) and exist.

#include <string>
#include <vector>

#include "core/station.h"
#include "web/order_request.h"

namespace zova::web {

struct OrderOutcome {
  int status = 200;  // HTTP status: 200, or why not
  std::string text;  // Latin-1, for the operator
};

OrderOutcome CarryOut(Station& station, const OrderRequest& order);

// Program files a machine can be given (names, sorted): those of its
// program directory. Any thread.
std::vector<std::string> MachineFiles(int machine);

// The full path of Name for machine N when it lies in the machine's
// directories, else empty. Any thread.
std::string GuardedMachinePath(int machine, const std::string& name);

}  // namespace zova::web
