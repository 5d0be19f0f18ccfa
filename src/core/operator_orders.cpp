#include "core/operator_orders.h"

namespace zova {

void OrderSend(StationModel& model, int machine) {
  MachineRequest& r = model.Request(machine);
  r.Send = true;
  r.Fetch = false;
  r.Flag3 = false;
}

void OrderFetch(StationModel& model, int machine) {
  MachineRequest& r = model.Request(machine);
  r.Send = false;
  r.Fetch = true;
  r.Flag3 = false;
}

void OrderCancel(StationModel& model, int machine) {
  MachineRequest& r = model.Request(machine);
  r.Send = false;
  r.Fetch = false;
  r.Flag3 = true;
}

}  // namespace zova
