#include "statuslog/mqtt/state_payload.h"

#include <ctime>

#include "core/latin1.h"
#include "core/logging/log_format.h"

namespace zova::mqtt {

std::string StateTopic(const std::string& prefix, int machine) {
  return prefix + "/Maskin" + std::to_string(machine);
}

std::string IsoTime(WallTime t) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
  const std::time_t secs =
      static_cast<std::time_t>(std::chrono::floor<std::chrono::seconds>(ms).count());
  const int milli = static_cast<int>(ms.count() - static_cast<int64_t>(secs) * 1000);
  const std::tm tm = LocalTm(secs);
  char date[32], zone[8];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &tm);
  std::strftime(zone, sizeof zone, "%z", &tm);
  char out[64];
  std::snprintf(out, sizeof out, "%s.%03d%.3s:%.2s", date, milli, zone, zone + 3);
  return out;
}

namespace {

// Latin-1 text as a JSON string; UTF-8 out. Written here rather than through
// a document tree: a payload is built for every status record of every
// machine, up to a thousand a second.
void AppendJsonString(std::string& out, const std::string& latin1) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : Latin1ToUtf8(latin1)) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (u < 0x20) {
          out += "\\u00";
          out += kHex[u >> 4];
          out += kHex[u & 15];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

}  // namespace

std::string StatePayload(const MachineState& state, StateEvent event, uint64_t seq) {
  std::string j;
  j.reserve(256);
  j += "{\"machine\":" + std::to_string(state.Machine) + ",\"name\":";
  AppendJsonString(j, state.Name);
  j += event == StateEvent::Record ? ",\"event\":\"record\"" : ",\"event\":\"status\"";
  j += ",\"seq\":" + std::to_string(seq) + ",\"status\":";
  AppendJsonString(j, state.Status);
  if (state.HasRecord) {
    j += ",\"record\":{\"time\":\"" + IsoTime(state.Record.Time) +
         "\",\"code\":" + std::to_string(state.Record.Code) + ",\"text\":";
    AppendJsonString(j, state.Record.Text);
    j += state.Record.Stored ? ",\"stored\":true}}" : ",\"stored\":false}}";
  } else {
    j += ",\"record\":null}";
  }
  return j;
}

}  // namespace zova::mqtt
