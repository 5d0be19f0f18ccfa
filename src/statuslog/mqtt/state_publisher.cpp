#include "statuslog/mqtt/state_publisher.h"

#include "core/config/config.h"
#include "core/file_settings.h"
#include "core/station_log.h"

namespace zova::mqtt {

std::unique_ptr<StatePublisher> StatePublisher::Start(StationModel& model,
                                                      const MqttSettings& settings) {
  if (!settings.Enabled()) return nullptr;
  LogStation("MQTT: maskintilstandene publiseres til " + settings.Host + ":" +
             std::to_string(settings.Port) + " under " + settings.Prefix + "/MaskinN");
  return std::make_unique<StatePublisher>(model, settings);
}

StatePublisher::StatePublisher(StationModel& model, const MqttSettings& settings)
    : model_(model), prefix_(settings.Prefix), publisher_(settings) {
  // The machines' Status cells are read here, on the main thread: records
  // arrive on the drivers' threads, which must not touch the model.
  for (int m = 1; m <= model_.MachineCount(); ++m) StateOf(m).Status = model_.Cell(kColStatus, m);
  model_.AddObserver(this);
  SetStatusRecordSink([this](const StatusRecordEvent& e) { RecordWritten(e); });
}

StatePublisher::~StatePublisher() {
  SetStatusRecordSink(nullptr);
  model_.RemoveObserver(this);
}

MachineState& StatePublisher::StateOf(int machine) {
  auto it = states_.find(machine);
  if (it != states_.end()) return it->second;
  MachineState s;
  s.Machine = machine;
  s.Name = ReadIniStr(MachineSection(machine), "Navn", MachineSection(machine));
  return states_.emplace(machine, std::move(s)).first->second;
}

void StatePublisher::CellChanged(int col, int row) {
  if (col != kColStatus || row < 1) return;
  std::lock_guard lock(mutex_);
  MachineState& s = StateOf(row);
  const std::string& text = model_.Cell(kColStatus, row);
  // A cell set again to what it shows is no change of state.
  if (!statusSeen_.insert(row).second && text == s.Status) return;
  s.Status = text;
  Publish(row, StateEvent::Status);
}

void StatePublisher::RecordWritten(const StatusRecordEvent& event) {
  std::lock_guard lock(mutex_);
  MachineState& s = StateOf(event.Machine);
  s.HasRecord = true;
  s.Record = event;
  Publish(event.Machine, StateEvent::Record);
}

void StatePublisher::Publish(int machine, StateEvent event) {
  publisher_.Publish(StateTopic(prefix_, machine), StatePayload(StateOf(machine), event, ++seq_));
}

}  // namespace zova::mqtt
