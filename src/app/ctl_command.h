#pragma once
// `zova ctl`: the operator's orders from the shell, given to the running
// station through its web interface. The words and what comes back are
// handled here without a network, so they can be tested; cmd_ctl.cpp talks
// to the station.

#include <optional>
#include <string>
#include <vector>

namespace zova::app {

struct CtlPlan {
  enum class Kind { Status, Order, Watch } kind = Kind::Status;
  std::string machine;  // as typed: a number or a machine's name
  std::string order;    // the last part of /api/machines/N/<order>
  std::string body;     // JSON
};

// The words after "ctl" (the INI argument already taken). Nullopt with
// Error set when they do not make an order.
std::optional<CtlPlan> PlanCtl(const std::vector<std::string>& words, std::string& error);

// The machine number that Machine (a number or a name, any case) means in
// the grid Json (GET /api/grid), or 0.
int ResolveMachine(const std::string& gridJson, const std::string& machine);

// The grid as `status` prints it: one line a machine, its cells joined by
// " | ".
std::string FormatStatus(const std::string& gridJson);

// Server-sent events, fed in pieces as they arrive; each whole event becomes
// the lines `watch` prints ("3 Status: Fil sendt"), as the headless station
// prints its grid changes; the first, the whole grid, a line a cell.
class WatchPrinter {
 public:
  std::string Feed(const std::string& chunk);

 private:
  std::string Event(const std::string& name, const std::string& data) const;
  std::string pending_;
};

}  // namespace zova::app
