// Benchmarks of the core runtime: configuration reads from many threads, the
// call-over round trip against a bare mutex + condition-variable round trip,
// and console batching.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>

#include "core/config/config.h"
#include "core/driver/tmsg.h"
#include "core/globals.h"
#include "core/mainthread.h"

namespace zova {
namespace {

std::string BenchIni() {
  static std::string path = [] {
    std::string p = "/tmp/zova-bench-" + std::to_string(::getpid()) + ".ini";
    std::ofstream out(p, std::ios::binary);
    out << "[Program]\r\nMaskiner=100\r\n";
    for (int m = 1; m <= 100; ++m) {
      out << "[Maskin" << m << "]\r\n";
      for (int k = 0; k < 18; ++k) out << "Key" << k << "=Value" << m << "_" << k << "\r\n";
    }
    return p;
  }();
  return path;
}

void BM_ConfigReads(benchmark::State& state) {
  if (state.thread_index() == 0) Globals().IniFil = BenchIni();
  int i = state.thread_index();
  for (auto _ : state) {
    std::string section = "Maskin" + std::to_string(i % 100 + 1);
    benchmark::DoNotOptimize(ReadIniStr(section, "Key" + std::to_string(i % 18), ""));
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConfigReads)->Threads(100)->UseRealTime();

// A write is seen by the next read on every thread.
void BM_WriteThenReadEverywhere(benchmark::State& state) {
  Globals().IniFil = BenchIni();
  int round = 0;
  for (auto _ : state) {
    std::string value = "W" + std::to_string(++round);
    WriteIniStr("Program", "Written", value);
    std::atomic<int> stale{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 100; ++t)
      readers.emplace_back([&] {
        if (ReadIniStr("Program", "Written", "") != value) ++stale;
      });
    for (auto& r : readers) r.join();
    if (stale.load() != 0) state.SkipWithError("a thread read a stale value");
  }
}
BENCHMARK(BM_WriteThenReadEverywhere)->Iterations(20)->UseRealTime();

// Bare round trip: the requester hands a flag to the server thread and waits.
void BM_BareRoundTrip(benchmark::State& state) {
  std::mutex m;
  std::condition_variable cv;
  bool request = false, reply = false, stop = false;
  std::thread server([&] {
    std::unique_lock lock(m);
    for (;;) {
      cv.wait(lock, [&] { return request || stop; });
      if (stop) return;
      request = false;
      reply = true;
      cv.notify_all();
    }
  });
  for (auto _ : state) {
    std::unique_lock lock(m);
    request = true;
    cv.notify_all();
    cv.wait(lock, [&] { return reply; });
    reply = false;
  }
  {
    std::lock_guard lock(m);
    stop = true;
  }
  cv.notify_all();
  server.join();
}
BENCHMARK(BM_BareRoundTrip)->UseRealTime();

// A driver thread runs an operation on the main thread and waits for it.
void BM_CallOverRoundTrip(benchmark::State& state) {
  QueueCallOver* callOver = nullptr;
  std::atomic<bool> stop{false}, ready{false};
  std::thread mainThread([&] {
    QueueCallOver local;
    callOver = &local;
    ready = true;
    while (!stop.load()) local.WaitAndServe(50);
    local.ServePending();
  });
  while (!ready.load()) std::this_thread::yield();
  MainThread::Install(callOver);
  int counter = 0;
  for (auto _ : state) MainThread::invoke([&] { ++counter; });
  MainThread::Install(nullptr);
  stop = true;
  callOver->Wake();
  mainThread.join();
  benchmark::DoNotOptimize(counter);
}
BENCHMARK(BM_CallOverRoundTrip)->UseRealTime();

class CountingCallOver : public CallOver {
 public:
  void Invoke(const std::function<void()>& fn) override {
    ++calls;
    fn();
  }
  bool ServeFor(int64_t, const std::function<bool()>&) override { return true; }
  bool IsMainThread() const override { return false; }
  long calls = 0;
};

class ConsoleDriver : public TMsg {
 public:
  using TMsg::TMsg;
  void Execute() override {}
};

// A 1 MB transfer logged byte by byte: main-thread calls per byte.
void BM_ConsoleBatching(benchmark::State& state) {
  Globals().IniFil = BenchIni();
  StationModel model(1);
  UiLinks links;
  links.model = &model;
  ConsoleDriver driver(links, model.Request(1), 1);
  model.Console().Hold(1, false, true);
  CountingCallOver counting;
  MainThread::Install(&counting);
  const long kBytes = 1 << 20;
  for (auto _ : state) {
    counting.calls = 0;
    for (long i = 0; i < kBytes; ++i) {
      char c = static_cast<char>('A' + i % 26);
      driver.ConsoleWrite(false, false, static_cast<int>(i), std::string(1, c));
    }
    driver.FlushConsole();
  }
  MainThread::Install(nullptr);
  state.counters["calls"] = static_cast<double>(counting.calls);
  state.counters["bytes_per_call"] =
      static_cast<double>(kBytes) / static_cast<double>(counting.calls);
}
BENCHMARK(BM_ConsoleBatching)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zova
