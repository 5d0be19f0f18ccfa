#pragma once

namespace zova::app {

// With ZOVA_CLOCK_SCALE=N (N > 1) the station's own waits (pauses, VenteTid,
// restarts) run N times faster, for tests; the lines' timeouts stay real.
void InstallTestClock();

}  // namespace zova::app
