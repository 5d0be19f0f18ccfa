#include "statuslog/mqtt/mqtt_settings.h"

#include "core/config/config.h"
#include "core/latin1.h"
#include "core/numparse.h"
#include "core/station_log.h"

namespace zova::mqtt {

bool ParseServer(std::string_view value, std::string& host, int& port) {
  std::string v = Trim(value);
  port = 1883;
  host.clear();
  if (v.empty()) return false;
  std::string portText;
  if (v.front() == '[') {
    const size_t close = v.find(']');
    if (close == std::string::npos) return false;
    host = v.substr(1, close - 1);
    const std::string rest = v.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return false;
      portText = rest.substr(1);
    }
  } else {
    const size_t colon = v.rfind(':');
    // More than one colon without brackets is a bare IPv6 address.
    if (colon != std::string::npos && v.find(':') == colon) {
      host = v.substr(0, colon);
      portText = v.substr(colon + 1);
    } else {
      host = v;
    }
  }
  if (host.empty()) return false;
  if (!portText.empty()) {
    const auto p = ParseInteger(portText);
    if (!p || *p < 1 || *p > 65535) return false;
    port = *p;
  }
  return true;
}

MqttSettings ReadMqttSettings() {
  MqttSettings s;
  const std::string server = ReadIniStr("Program", "MqttServer", "");
  s.Prefix = Trim(ReadIniStr("Program", "MqttEmne", "zova"));
  while (!s.Prefix.empty() && s.Prefix.back() == '/') s.Prefix.pop_back();
  if (s.Prefix.empty()) s.Prefix = "zova";
  if (Trim(server).empty()) return s;
  if (!ParseServer(server, s.Host, s.Port)) {
    s.Host.clear();
    LogStationWarning("MQTT: MqttServer=" + server +
                      " er ikke vert:port; maskintilstandene publiseres ikke");
  }
  return s;
}

}  // namespace zova::mqtt
