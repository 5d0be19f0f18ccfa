#include "statuslog/mqtt/mqtt_publisher.h"

#include <mosquitto.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/latin1.h"
#include "core/station_log.h"

namespace zova::mqtt {

namespace {

// Messages handed to the client before the broker's acknowledgements.
constexpr size_t kWindow = 100;
constexpr int kLoopMs = 20;
constexpr int kFirstRetryMs = 250;
constexpr int kMaxRetryMs = 5000;
constexpr int kKeepAliveSeconds = 30;

void InitLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { mosquitto_lib_init(); });
}

std::string ClientId() {
  char host[64] = "zova";
  ::gethostname(host, sizeof host - 1);
  host[sizeof host - 1] = 0;
  return "zova-" + std::string(host) + "-" + std::to_string(::getpid());
}

}  // namespace

MqttPublisher::MqttPublisher(const MqttSettings& settings)
    : settings_(settings),
      where_(settings.Host + ":" + std::to_string(settings.Port)),
      queue_(settings.QueueLimit) {
  InitLibrary();
  thread_ = std::thread([this] { Run(); });
}

MqttPublisher::~MqttPublisher() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void MqttPublisher::Publish(std::string topic, std::string payload) {
  {
    std::lock_guard lock(mutex_);
    queue_.Push(std::move(topic), std::move(payload));
  }
  // No wake-up: connected, the thread hands the queue over on its next turn
  // of the network loop; without a broker there is nothing to do before the
  // next try, and a thousand records a second would only wake it in vain.
}

MqttPublisher::Stats MqttPublisher::GetStats() {
  std::lock_guard lock(mutex_);
  Stats s;
  s.Delivered = queue_.Delivered();
  s.Dropped = queue_.Dropped();
  s.Queued = queue_.Size();
  s.Connected = connected_.load();
  s.Connects = connects_.load();
  return s;
}

bool MqttPublisher::WaitFor(int ms) {
  std::unique_lock lock(mutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopping_; });
  return !stopping_;
}

void MqttPublisher::Run() {
  retryMs_ = kFirstRetryMs;
  SteadyClock::time_point flushUntil{};
  for (;;) {
    bool stopping = false, empty = false;
    {
      std::lock_guard lock(mutex_);
      stopping = stopping_;
      empty = queue_.Empty();
    }
    if (stopping) {
      // What is still queued gets FlushMs, and only while the broker is there.
      if (flushUntil == SteadyClock::time_point{})
        flushUntil = SteadyClock::now() + std::chrono::milliseconds(settings_.FlushMs);
      if (empty || !mosq_ || SteadyClock::now() >= flushUntil) break;
    }
    if (!mosq_) {
      const auto now = SteadyClock::now();
      if (now < nextAttempt_) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(nextAttempt_ - now).count();
        if (!WaitFor(static_cast<int>(left) + 1)) break;
        continue;
      }
      Connect();
      continue;
    }
    Serve();
  }
  if (mosq_) {
    mosquitto_disconnect(mosq_);
    mosquitto_loop(mosq_, kLoopMs, 1);
  }
  Destroy();
  ReportDrops(true);
  std::lock_guard lock(mutex_);
  if (!queue_.Empty())
    LogStationWarning("MQTT: " + std::to_string(queue_.Size()) +
                      L1(" tilstander ble ikke publisert før stasjonen stoppet (.SDV-filene "
                         "har dem)"));
}

bool MqttPublisher::Connect() {
  mosq_ = mosquitto_new(ClientId().c_str(), true, this);
  if (!mosq_) {
    Lost(L1("klarer ikke å lage en MQTT-klient"));
    return false;
  }
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  mosquitto_max_inflight_messages_set(mosq_, 0);
  mosquitto_connect_callback_set(mosq_, &MqttPublisher::OnConnect);
  mosquitto_disconnect_callback_set(mosq_, &MqttPublisher::OnDisconnect);
  mosquitto_publish_callback_set(mosq_, &MqttPublisher::OnPublish);
  refusedCode_ = 0;
  disconnected_ = false;
  const int rc =
      mosquitto_connect(mosq_, settings_.Host.c_str(), settings_.Port, kKeepAliveSeconds);
  if (rc != MOSQ_ERR_SUCCESS) {
    Lost(rc == MOSQ_ERR_ERRNO ? std::string(std::strerror(errno)) : mosquitto_strerror(rc));
    return false;
  }
  connecting_ = true;
  return true;
}

void MqttPublisher::Serve() {
  if (connected_) HandOver();
  const int rc = mosquitto_loop(mosq_, kLoopMs, 1);
  if (refusedCode_ != 0) {
    Lost(std::string("megleren nektet tilkoblingen: ") + mosquitto_connack_string(refusedCode_));
    return;
  }
  if (rc != MOSQ_ERR_SUCCESS)
    Lost(rc == MOSQ_ERR_ERRNO ? std::string(std::strerror(errno)) : mosquitto_strerror(rc));
  else if (disconnected_)
    Lost(mosquitto_strerror(MOSQ_ERR_CONN_LOST));
}

void MqttPublisher::HandOver() {
  for (;;) {
    std::string topic, payload;
    {
      std::lock_guard lock(mutex_);
      const QueuedMessage* m = queue_.InFlight() < kWindow ? queue_.NextToSend() : nullptr;
      if (!m) return;
      topic = m->Topic;
      payload = m->Payload;
    }
    int mid = 0;
    const int rc = mosquitto_publish(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()),
                                     payload.data(), 1, true);
    if (rc != MOSQ_ERR_SUCCESS) return;  // the loop finds out why
    std::lock_guard lock(mutex_);
    queue_.MarkSent(mid);
  }
}

void MqttPublisher::Lost(const std::string& why) {
  const bool was = connected_.exchange(false);
  connecting_ = false;
  Destroy();
  nextAttempt_ = SteadyClock::now() + std::chrono::milliseconds(retryMs_);
  retryMs_ = std::min(retryMs_ * 2, kMaxRetryMs);
  {
    std::lock_guard lock(mutex_);
    queue_.ConnectionLost();
  }
  if (!outageLogged_) {
    outageLogged_ = true;
    LogStationWarning(
        "MQTT: " + (was ? std::string("mistet forbindelsen med ") : L1("får ikke kontakt med ")) +
        where_ + " (" + why + L1("); tilstandene venter i køen"));
  }
  ReportDrops(false);
}

void MqttPublisher::ReportDrops(bool now) {
  uint64_t dropped = 0;
  {
    std::lock_guard lock(mutex_);
    dropped = queue_.Dropped();
  }
  // During a long outage a line a minute is enough; the count comes whole
  // when the broker is back or the station ends.
  const auto t = SteadyClock::now();
  if (dropped == dropsReported_ || (!now && t < lastDropReport_ + std::chrono::minutes(1))) return;
  lastDropReport_ = t;
  LogStationWarning(L1("MQTT: køen var full; ") + std::to_string(dropped - dropsReported_) +
                    " eldre tilstander ble ikke publisert (.SDV-filene har dem)");
  dropsReported_ = dropped;
}

void MqttPublisher::Destroy() {
  if (!mosq_) return;
  mosquitto_destroy(mosq_);
  mosq_ = nullptr;
}

void MqttPublisher::OnConnect(mosquitto*, void* self, int rc) {
  auto* p = static_cast<MqttPublisher*>(self);
  if (rc != 0) {
    p->refusedCode_ = rc;
    return;
  }
  p->connecting_ = false;
  p->connected_ = true;
  ++p->connects_;
  p->retryMs_ = kFirstRetryMs;
  p->outageLogged_ = false;
  LogStation("MQTT: tilkoblet " + p->where_);
  p->ReportDrops(true);
}

void MqttPublisher::OnDisconnect(mosquitto*, void* self, int) {
  static_cast<MqttPublisher*>(self)->disconnected_ = true;
}

void MqttPublisher::OnPublish(mosquitto*, void* self, int mid) {
  auto* p = static_cast<MqttPublisher*>(self);
  std::lock_guard lock(p->mutex_);
  p->queue_.Acked(mid);
}

}  // namespace zova::mqtt
