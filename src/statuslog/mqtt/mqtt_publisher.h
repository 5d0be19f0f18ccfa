#pragma once
// Publishes messages to an MQTT broker (QoS 1, retained) from a thread of
// its own, so that a broker that is down or slow never holds up whoever
// publishes: Publish only puts the message in a bounded queue. The thread
// connects, hands the queue over in order, keeps what the broker has not
// acknowledged and, after a lost connection, connects again and sends it
// again. libmosquitto is used from that thread alone.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "statuslog/mqtt/mqtt_settings.h"
#include "statuslog/mqtt/publish_queue.h"

struct mosquitto;

namespace zova::mqtt {

class MqttPublisher {
  using SteadyClock = std::chrono::steady_clock;

 public:
  explicit MqttPublisher(const MqttSettings& settings);
  // Waits up to FlushMs for the queue to reach the broker, then disconnects.
  ~MqttPublisher();
  MqttPublisher(const MqttPublisher&) = delete;
  MqttPublisher& operator=(const MqttPublisher&) = delete;

  // Any thread; never waits for the broker.
  void Publish(std::string topic, std::string payload);

  struct Stats {
    uint64_t Delivered = 0;  // acknowledged by the broker
    uint64_t Dropped = 0;    // given up when the queue was full
    size_t Queued = 0;       // waiting, in flight included
    bool Connected = false;
    uint64_t Connects = 0;  // connections made
  };
  Stats GetStats();

 private:
  void Run();
  bool Connect();
  void Serve();
  void HandOver();
  void Lost(const std::string& why);
  // Logs what the full queue gave up since the last line; Now: whatever the
  // time since that line.
  void ReportDrops(bool now);
  void Destroy();
  bool WaitFor(int ms);  // false when the thread is to end
  static void OnConnect(mosquitto*, void* self, int rc);
  static void OnDisconnect(mosquitto*, void* self, int rc);
  static void OnPublish(mosquitto*, void* self, int mid);

  const MqttSettings settings_;
  const std::string where_;
  std::mutex mutex_;
  std::condition_variable wake_;
  PublishQueue queue_;
  bool stopping_ = false;
  std::atomic<bool> connected_{false};
  std::atomic<uint64_t> connects_{0};

  // The thread's own.
  mosquitto* mosq_ = nullptr;
  bool connecting_ = false;
  bool outageLogged_ = false;
  int refusedCode_ = 0;
  bool disconnected_ = false;
  uint64_t dropsReported_ = 0;
  SteadyClock::time_point lastDropReport_{};
  int retryMs_ = 0;
  std::chrono::steady_clock::time_point nextAttempt_{};
  std::thread thread_;
};

}  // namespace zova::mqtt
