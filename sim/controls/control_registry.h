#pragma once
// The controls cncsim --control can name. A new control adds one line to
// the table in control_registry.cpp.

#include <memory>
#include <string>
#include <string_view>

#include "sim_control.h"

namespace zova::sim {

// Null for a name no control has.
std::unique_ptr<SimControl> MakeControl(std::string_view name, SimLine& line,
                                        const SimOptions& options);
// "standard, echo": the names in the order of the table, for messages.
std::string KnownControlNames();

}  // namespace zova::sim
