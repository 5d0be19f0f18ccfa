#pragma once
// When the box's contact is checked: SjekkTid hours after the last reception
// or the last check. Times are milliseconds of the station's 64-bit monotonic
// count, which does not wrap within a machine's life (a 32-bit tick count
// does after 49 days, and then every comparison past it goes wrong).
//
// A check that got no answer restarts the interval too: otherwise a silent
// box, whose last contact never moves, would be checked on every idle turn
// of the driver and fill the status file with a 201 line a few times a
// second. One 201 line per interval is what the shop wants to see.

#include <cstdint>

namespace zova::box {

inline constexpr int64_t kMsPerHour = 3600000;

class ContactSchedule {
 public:
  // Hours below 1: no periodic check.
  ContactSchedule(int hours, int64_t nowMs)
      : intervalMs_(hours > 0 ? hours * kMsPerHour : 0), lastMs_(nowMs) {}

  int64_t IntervalMs() const { return intervalMs_; }
  bool Due(int64_t nowMs) const { return intervalMs_ > 0 && nowMs > lastMs_ + intervalMs_; }
  // A reception from the box.
  void Contact(int64_t nowMs) { lastMs_ = nowMs; }
  // A periodic check was made, whatever its outcome.
  void Checked(int64_t nowMs) { lastMs_ = nowMs; }

 private:
  int64_t intervalMs_;
  int64_t lastMs_;
};

}  // namespace zova::box
