#pragma once
// Publishes the machines' states while the station runs: every status record
// (whichever driver wrote it) and every change of a machine's Status cell
// becomes a message on the machine's topic. The status record files stay the
// record of truth; the broker gets what reaches it.

#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "core/driver/status_record_sink.h"
#include "core/model/station_model.h"
#include "statuslog/mqtt/mqtt_publisher.h"
#include "statuslog/mqtt/state_payload.h"

namespace zova::mqtt {

class StatePublisher : public ModelObserver {
 public:
  // Null (nothing published) when Settings has no server. Main thread;
  // before the machines start, so that their first records are published.
  static std::unique_ptr<StatePublisher> Start(StationModel& model, const MqttSettings& settings);
  StatePublisher(StationModel& model, const MqttSettings& settings);
  ~StatePublisher() override;

  void CellChanged(int col, int row) override;         // main thread
  void RecordWritten(const StatusRecordEvent& event);  // any thread
  MqttPublisher::Stats Stats() { return publisher_.GetStats(); }

 private:
  MachineState& StateOf(int machine);
  void Publish(int machine, StateEvent event);

  StationModel& model_;
  // Records come from the drivers' threads, cell changes from the main
  // thread; one lock keeps the states whole and the sequence in order.
  std::mutex mutex_;
  std::string prefix_;
  std::map<int, MachineState> states_;
  std::set<int> statusSeen_;
  uint64_t seq_ = 0;
  MqttPublisher publisher_;
};

}  // namespace zova::mqtt
