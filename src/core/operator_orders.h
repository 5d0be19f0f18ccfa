#pragma once
// The operator's orders to a machine, the same from every front end: each is
// written into the machine's request record (or its Filnavn cell) on the main
// thread, and the machine's driver is woken to take it at once. The window
// asks its questions first; the web interface and `zova ctl` check theirs.

#include <string>

#include "core/station.h"

namespace zova {

// A send of what the Filnavn cell names (a command machine sends its text).
void OrderSend(Station& station, int machine);
// A fetch from the control (two-way machines).
void OrderFetch(Station& station, int machine);
// The station-wide send order (Globals().SendToMachine) that a shop-floor
// terminal gives: Machine's driver takes it at its next request fetch and is
// woken for it. False, and no order left pending, when Machine has no
// running driver.
bool OrderSendToMachine(MachineSet& machines, int machine);
// Drops a send that was ordered and not yet started, and the transfer state.
void OrderCancel(Station& station, int machine);

}  // namespace zova
