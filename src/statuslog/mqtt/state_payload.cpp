#include "statuslog/mqtt/state_payload.h"

#include <ctime>

#include <nlohmann/json.hpp>

#include "core/latin1.h"

namespace zova::mqtt {

std::string StateTopic(const std::string& prefix, int machine) {
  return prefix + "/Maskin" + std::to_string(machine);
}

std::string IsoTime(WallTime t) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
  const std::time_t secs =
      static_cast<std::time_t>(std::chrono::floor<std::chrono::seconds>(ms).count());
  const int milli = static_cast<int>(ms.count() - static_cast<int64_t>(secs) * 1000);
  std::tm tm{};
  localtime_r(&secs, &tm);
  char date[32], zone[8];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &tm);
  std::strftime(zone, sizeof zone, "%z", &tm);
  char out[64];
  std::snprintf(out, sizeof out, "%s.%03d%.3s:%.2s", date, milli, zone, zone + 3);
  return out;
}

std::string StatePayload(const MachineState& state, StateEvent event, uint64_t seq) {
  nlohmann::ordered_json j;
  j["machine"] = state.Machine;
  j["name"] = Latin1ToUtf8(state.Name);
  j["event"] = event == StateEvent::Record ? "record" : "status";
  j["seq"] = seq;
  j["status"] = Latin1ToUtf8(state.Status);
  if (state.HasRecord) {
    nlohmann::ordered_json r;
    r["time"] = IsoTime(state.Record.Time);
    r["code"] = state.Record.Code;
    r["text"] = Latin1ToUtf8(state.Record.Text);
    r["stored"] = state.Record.Stored;
    j["record"] = std::move(r);
  } else {
    j["record"] = nullptr;
  }
  return j.dump();
}

}  // namespace zova::mqtt
