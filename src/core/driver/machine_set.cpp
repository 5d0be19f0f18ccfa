#include "core/driver/machine_set.h"

#include <algorithm>

#include "core/clock.h"
#include "core/config/config.h"
#include "core/driver/protocol_table.h"
#include "core/file_settings.h"
#include "core/mainthread.h"
#include "core/operator_orders.h"
#include "core/station_log.h"
#include "core/uihost.h"

namespace zova {

MachineSet::MachineSet(StationModel& model, UiLinks links)
    : model_(model), links_(std::move(links)) {
  links_.model = &model_;
  links_.sendToMachine = [this](int n) { return OrderSendToMachine(*this, n); };
}

MachineSet::~MachineSet() {
  StopAll();
  Reap();
}

int MachineSet::ConfiguredMachineCount() {
  return std::clamp(ReadIniInt("Program", "Maskiner", 1), 1, kMaxMachines);
}

void MachineSet::StartAllMachines() {
  runningCount_ = 0;
  started_.reset();
  twoWay_.reset();
  command_.reset();
  for (int n = 1; n <= model_.MachineCount(); ++n) StartMachine(n);
  startedOnce_ = true;
}

void MachineSet::AllocateExtras(MachineRequest& r, unsigned extras, int n) {
  if (extras & kExtraToolTable) {
    r.ToolTable = std::make_shared<std::array<uint8_t, 3200>>();
    r.ToolTable->fill(0);
  }
  if (extras & kExtraTextSlot) r.SharedText = std::make_shared<std::string>();
  if (extras & kExtraPresetBuffer) {
    r.PresetBuffer = std::make_shared<std::array<uint8_t, 318>>();
    r.PresetBuffer->fill(0);
  }
  if (extras & kExtraBalluffBuffer) {
    r.BalluffBuffer = std::make_shared<std::array<uint8_t, 12>>();
    r.BalluffBuffer->fill(0);
  }
  twoWay_[static_cast<size_t>(n)] = (extras & kExtraTwoWay) != 0;
  command_[static_cast<size_t>(n)] = (extras & kExtraCommand) != 0;
}

void MachineSet::StartMachine(int n) {
  if (!InRange(n)) return;
  Reap();
  MachineRequest& request = model_.Request(n);
  request.Reset();
  std::string section = MachineSection(n);
  std::string kind = ReadIniUpper(section, "Protokoll", "Standard");
  const ProtocolRow* row = FindProtocol(kind);
  if (!row && !IsSilentNoDriver(kind)) ShowNotice(section, "Ugyldig protokoll: " + kind);
  AllocateExtras(request, row ? row->extras : 0u, n);

  auto& slot = drivers_[static_cast<size_t>(n)];
  slot.reset();
  if (row && *row->className) {
    if (const DriverFactory* factory = FindDriverClass(row->className))
      slot = (*factory)(links_, request, n);
    else
      LogStationWarning(section + ": " + kind + " (" + row->className + ") " +
                        (row->specified ? "er ikke med i denne utgaven av stasjonen"
                                        : "er en maskintype uten driver i denne stasjonen") +
                        "; maskinen er ikke aktiv");
  } else if (createOtherDriver && kind != "INGEN") {
    slot = createOtherDriver(kind, links_, request, n);
  }

  if (slot) {
    started_[static_cast<size_t>(n)] = true;
    ++runningCount_;
    slot->SetPriority(ReadIniInt(section, "Prioritet", -1));
    slot->SetOnTerminate([this](TMsg* sender) { DriverEnded(sender); });
    slot->Start();
    return;
  }
  std::string ext = ReadIniUpper(section, "Ext", ProgramExt());
  model_.SetCell(kColStatus, n, "Maskin ikke aktiv");
  model_.SetCell(kColFilnavn, n, "0000" + ext);
}

void MachineSet::DriverEnded(TMsg* sender) {
  int n = sender->MachineNo();
  if (InRange(n) && drivers_[static_cast<size_t>(n)].get() == sender)
    ended_.push_back(std::move(drivers_[static_cast<size_t>(n)]));
  --runningCount_;
  if (runningCount_ <= 0 && !stopping_ && onAllEnded) onAllEnded();
}

void MachineSet::Reap() {
  // Ended drivers have run their end handler; their threads only return now.
  auto it = std::remove_if(ended_.begin(), ended_.end(), [](std::unique_ptr<TMsg>& d) {
    if (!d->Finished()) return false;
    d->Join();
    d.reset();
    return true;
  });
  ended_.erase(it, ended_.end());
}

bool MachineSet::RestartMachine(int n, bool detect) {
  if (!InRange(n)) return false;
  if (HasDriver(n)) {
    stopping_ = true;
    drivers_[static_cast<size_t>(n)]->Terminate();
    for (int i = 0; i < 20 && HasDriver(n); ++i)
      MainThread::ServeFor(1000, [&] { return !HasDriver(n); });
    stopping_ = false;
    MainThread::ServeFor(1000);
  }
  if (detect && onDetect) onDetect(n);
  if (HasDriver(n)) return false;
  model_.SetCell(kColStatus, n, "Restarter");
  model_.SetCell(kColMelding, n, "");
  if (!detect) model_.SetCell(kColTegn, n, "");
  MainThread::ServeFor(1000);
  StartMachine(n);
  return true;
}

void MachineSet::RestartEndedMachines() {
  if (stopping_) return;
  for (int n = 1; n <= model_.MachineCount(); ++n) {
    if (HasDriver(n) || !WasStarted(n)) continue;
    model_.SetCell(kColStatus, n, "Restarter");
    model_.SetCell(kColMelding, n, "");
    model_.SetCell(kColTegn, n, "<R>");
    StartMachine(n);
  }
}

void MachineSet::StopAll() {
  stopping_ = true;
  for (auto& d : drivers_)
    if (d) d->Terminate();
  while (runningCount_ > 0) MainThread::ServeFor(100, [&] { return runningCount_ <= 0; });
  Reap();
}

}  // namespace zova
