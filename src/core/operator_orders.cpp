#include "core/operator_orders.h"

#include "core/globals.h"

namespace zova {

namespace {

void Order(Station& station, int machine, bool send, bool fetch, bool cancel) {
  MachineRequest& r = station.Model().Request(machine);
  r.Send = send;
  r.Fetch = fetch;
  r.Flag3 = cancel;
  // An idle driver waits on its line up to a read timeout; the order is not
  // to wait that long.
  if (TMsg* driver = station.Machines().Driver(machine)) driver->WakeForOrder();
}

}  // namespace

void OrderSend(Station& station, int machine) {
  Order(station, machine, true, false, false);
}

bool OrderSendToMachine(MachineSet& machines, int machine) {
  TMsg* driver = machines.Driver(machine);
  if (!driver) return false;
  Globals().SendToMachine = static_cast<uint8_t>(machine);
  driver->WakeForOrder();
  return true;
}

void OrderFetch(Station& station, int machine) {
  Order(station, machine, false, true, false);
}

void OrderCancel(Station& station, int machine) {
  Order(station, machine, false, false, true);
}

}  // namespace zova
