#pragma once
// Where machine states are published: [Program] MqttServer ("host:port",
// port 1883 when left out; empty: nothing is published) and MqttEmne, the
// topic prefix ("zova").

#include <cstddef>
#include <string>
#include <string_view>

namespace zova::mqtt {

struct MqttSettings {
  std::string Host;
  int Port = 1883;
  std::string Prefix = "zova";
  // Records that wait for the broker; the oldest not yet handed to it make
  // room for new ones (the status files keep them all).
  size_t QueueLimit = 20000;
  // How long the end of the station waits for the queue to drain.
  int FlushMs = 2000;
  bool Enabled() const { return !Host.empty(); }
};

// "host:port", "host", "[::1]:1884". False for an empty or unusable value
// (no host, a port that is not 1..65535).
bool ParseServer(std::string_view value, std::string& host, int& port);

// Reads the active configuration; an unusable MqttServer is logged once and
// turns publishing off.
MqttSettings ReadMqttSettings();

}  // namespace zova::mqtt
