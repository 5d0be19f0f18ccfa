#include "core/station.h"

#include "core/clock.h"
#include "core/config/config.h"
#include "core/file_settings.h"

namespace zova {

Station::Station() : model_(MachineSet::ConfiguredMachineCount()), machines_(model_, links_) {
  links_.model = &model_;
  machines_.onAllEnded = [this] {
    if (onAllEnded) onAllEnded();
  };
}

Station::~Station() {
  Close();
}

void Station::Start() {
  for (int n = 1; n <= model_.MachineCount(); ++n) {
    std::string section = MachineSection(n);
    model_.SetCell(kColMaskin, n, ReadIniUpper(section, "Navn", section));
    model_.SetCellObject(kColMaskin, n, kNoLineState);
  }
  model_.Console().SetScroll(ReadIniInt("Program", "Scroll", 4));
  restartIntervalMs_ = static_cast<int64_t>(ReadIniInt("Program", "Restart", 0)) * 60000;
  nextRestart_ = TheClock().TickMs() + restartIntervalMs_;
  machines_.StartAllMachines();
}

void Station::Tick() {
  machines_.Reap();
  if (restartIntervalMs_ > 0 && TheClock().TickMs() >= nextRestart_) {
    nextRestart_ = TheClock().TickMs() + restartIntervalMs_;
    machines_.RestartEndedMachines();
  }
}

void Station::Close() {
  if (closed_) return;
  closed_ = true;
  machines_.StopAll();
}

}  // namespace zova
