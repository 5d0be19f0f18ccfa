#pragma once
// The simulated controls of the demo: one cncsim per demo serial machine, on
// a pseudo-terminal whose link the demo configuration names, asking for and
// sending programs now and then. They end with the station.

#include <string>

namespace zova::app {

// Starts the controls for the demo directory Dir (with its trailing "/");
// returns how many started. A station built without cncsim runs the demo
// without them (the serial machines then cannot open their lines).
int StartDemoControls(const std::string& dir);

// The commands of one demo control, repeated Rounds times.
std::string DemoControlScript(int machine, const std::string& dir, int rounds);

}  // namespace zova::app
