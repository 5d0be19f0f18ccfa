#pragma once
// The running station as the front ends see it: the model, the machine set
// and the restart timer. Main thread only; the front end drives Tick() from
// its loop or timer and runs Close() when the window closes.

#include <cstdint>
#include <functional>

#include "core/driver/machine_set.h"
#include "core/model/station_model.h"

namespace zova {

class Station {
 public:
  Station();
  ~Station();

  StationModel& Model() { return model_; }
  MachineSet& Machines() { return machines_; }
  UiLinks& Links() { return links_; }

  // Fills the machine names and starts every machine.
  void Start();
  // Restart timer ([Program] Restart minutes) and reaping; call often.
  void Tick();
  // Terminates every driver and serves the call-over until all have ended.
  void Close();
  bool Closed() const { return closed_; }

  // Runs when the last driver ended by itself: the station should close.
  std::function<void()> onAllEnded;

 private:
  StationModel model_;
  UiLinks links_;
  MachineSet machines_;
  int64_t restartIntervalMs_ = 0;
  int64_t nextRestart_ = 0;
  bool closed_ = false;
};

}  // namespace zova
