#pragma once
// What the station's web interface costs and how quickly it answers, measured
// from outside while the station works: Watchers pages follow the live
// changes, and a prober chooses a file for machine 1 four times a second,
// timing the order's round trip and how long each watcher waits for the
// Filnavn change it causes.

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class WebProbe {
 public:
  using Clock = std::chrono::steady_clock;

  WebProbe(int port, int watchers) : port_(port) {
    for (int i = 0; i < watchers; ++i) watchers_.emplace_back([this] { Watch(); });
    prober_ = std::thread([this] { Probe(); });
  }
  ~WebProbe() { Stop(); }

  void Stop() {
    if (stop_.exchange(true)) return;
    prober_.join();
    for (auto& c : clients_) c->stop();
    for (auto& t : watchers_) t.join();
  }

  std::string Summary() {
    Stop();
    char text[400];
    std::snprintf(text, sizeof text,
                  "web: %zu orders, round trip median %.1f ms, 99%% %.1f ms, worst %.1f ms "
                  "(target < 50 ms); %zu changes seen by %zu watchers: median %.1f ms, "
                  "99%% %.1f ms, worst %.1f ms (target < 100 ms), %d never seen",
                  orders_.size(), Q(orders_, 0.5), Q(orders_, 0.99), Q(orders_, 1), seen_.size(),
                  watchers_.size(), Q(seen_, 0.5), Q(seen_, 0.99), Q(seen_, 1), missed_);
    return text;
  }

 private:
  static double Q(std::vector<double>& v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(q * static_cast<double>(v.size() - 1))];
  }
  static double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
  }

  void Watch() {
    auto client = std::make_shared<httplib::Client>("127.0.0.1", port_);
    client->set_read_timeout(30, 0);
    {
      std::lock_guard lock(mutex_);
      clients_.push_back(client);
    }
    std::string pending;
    while (!stop_) {
      client->Get("/api/events", [&](const char* data, size_t n) {
        pending.append(data, n);
        for (size_t end; (end = pending.find("\n\n")) != std::string::npos;) {
          Seen(pending.substr(0, end), Clock::now());
          pending.erase(0, end + 2);
        }
        return !stop_.load();
      });
      if (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }

  void Seen(const std::string& event, Clock::time_point at) {
    if (event.find("event: cell") == std::string::npos) return;
    if (event.find("\"n\":1,") == std::string::npos || event.find("\"col\":1") == std::string::npos)
      return;
    std::lock_guard lock(mutex_);
    if (event.find("\"" + expected_ + "\"") == std::string::npos) return;
    seen_.push_back(Ms(sent_, at));
    ++seenThisRound_;
  }

  void Probe() {
    httplib::Client client("127.0.0.1", port_);
    const char* names[] = {"O1000.NC", "O1001.NC"};
    std::this_thread::sleep_for(std::chrono::seconds(2));  // the watchers connect
    for (int i = 0; !stop_; ++i) {
      {
        std::lock_guard lock(mutex_);
        if (i > 0) missed_ += static_cast<int>(watchers_.size()) - seenThisRound_;
        seenThisRound_ = 0;
        expected_ = names[i % 2];
        sent_ = Clock::now();
      }
      auto r = client.Post("/api/machines/1/file",
                           std::string("{\"name\":\"") + names[i % 2] + "\"}", "application/json");
      if (r && r->status == 200) orders_.push_back(Ms(sent_, Clock::now()));
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
  }

  int port_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::shared_ptr<httplib::Client>> clients_;
  std::vector<std::thread> watchers_;
  std::thread prober_;
  std::string expected_;
  Clock::time_point sent_;
  std::vector<double> orders_, seen_;
  int seenThisRound_ = 0, missed_ = 0;
};
