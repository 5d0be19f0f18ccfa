#include "app/test_clock.h"

#include <cstdlib>
#include <memory>

#include "core/clock.h"

namespace zova::app {

void InstallTestClock() {
  static std::unique_ptr<ScaledClock> clock;
  const char* scale = std::getenv("ZOVA_CLOCK_SCALE");
  double factor = scale ? std::atof(scale) : 0;
  if (factor <= 1 || clock) return;
  clock = std::make_unique<ScaledClock>(factor);
  SetClock(clock.get());
}

}  // namespace zova::app
