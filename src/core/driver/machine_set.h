#pragma once
// The set of running machine drivers: which slot holds a driver, which
// machines were ever started, how many run; start, restart and the end
// handler. Main thread only.

#include <array>
#include <bitset>
#include <functional>
#include <memory>
#include <vector>

#include "core/driver/tmsg.h"
#include "core/model/station_model.h"

namespace zova {

class MachineSet {
 public:
  MachineSet(StationModel& model, UiLinks links);
  ~MachineSet();

  // Machine count from [Program] Maskiner (1..100).
  static int ConfiguredMachineCount();

  void StartAllMachines();
  void StartMachine(int n);
  // Stops machine N and starts it again; Detect runs the baud-rate detection
  // (through onDetect) in between. False when the driver did not end in 20 s.
  bool RestartMachine(int n, bool detect);
  void RestartEndedMachines();
  // Terminates every driver and serves the call-over until all have ended.
  void StopAll();
  // Joins and frees the threads of drivers that have ended.
  void Reap();

  bool HasDriver(int n) const { return InRange(n) && drivers_[static_cast<size_t>(n)] != nullptr; }
  bool WasStarted(int n) const { return InRange(n) && started_[static_cast<size_t>(n)]; }
  bool IsTwoWay(int n) const { return InRange(n) && twoWay_[static_cast<size_t>(n)]; }
  bool IsCommand(int n) const { return InRange(n) && command_[static_cast<size_t>(n)]; }
  int RunningCount() const { return runningCount_; }
  bool Stopping() const { return stopping_; }
  bool Started() const { return startedOnce_; }
  int MachineCount() const { return model_.MachineCount(); }
  TMsg* Driver(int n) { return HasDriver(n) ? drivers_[static_cast<size_t>(n)].get() : nullptr; }

  // The main window closes when the last driver ended by itself.
  std::function<void()> onAllEnded;
  // The baud-rate detection of RestartMachine(N, true).
  std::function<void(int)> onDetect;
  // For kinds without a driver class: may create one (the window's driver hook).
  std::function<std::unique_ptr<TMsg>(const std::string& kind, const UiLinks&, MachineRequest&,
                                      int)>
      createOtherDriver;

 private:
  static bool InRange(int n) { return n >= 1 && n <= kMaxMachines; }
  void DriverEnded(TMsg* sender);
  void AllocateExtras(MachineRequest& r, unsigned extras, int n);

  StationModel& model_;
  UiLinks links_;
  std::array<std::unique_ptr<TMsg>, kMaxMachines + 1> drivers_{};
  std::vector<std::unique_ptr<TMsg>> ended_;
  std::bitset<kMaxMachines + 1> started_, twoWay_, command_;
  int runningCount_ = 0;
  bool stopping_ = false;
  bool startedOnce_ = false;
};

}  // namespace zova
