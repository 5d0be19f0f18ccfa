// Status records from 100 machines at 10 records a second each, written to
// their status record files on the main thread and published to a real
// mosquitto on 127.0.0.1, with the broker stopped for 10 seconds in the
// middle. Prints the CPU the station side used (share of one core: the
// record calls and the station's own threads, without the cost of the
// threads that stand in for the drivers) and
// checks with a persistent mosquitto_sub that every record arrived, in
// order, and that every file holds every record. Run by hand:
//   build/bench/status_publish [SECONDS [files]]   (default 30: 10 up, 10 down, 10 up)
// "files" writes the records without publishing them: the baseline.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "core/clock.h"
#include "core/driver/tlogg.h"
#include "core/mainthread.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "core/startup.h"
#include "mosquitto_broker.h"
#include "statuslog/mqtt/state_publisher.h"

namespace {

using Steady = std::chrono::steady_clock;
constexpr int kMachines = 100;
constexpr int kPerSecond = 10;

// A machine that only writes status records.
class Recorder : public zova::TLogg {
 public:
  using TLogg::TLogg;
  void Record(int n) {
    const double before = ThreadCpuSeconds();
    LastTime = zova::TheClock().Now();
    bool ok = false;
    WriteStatusRecord(MachineNo(), 10, "R" + std::to_string(n), ok);
    if (!ok) failed.fetch_add(1);
    inCalls += ThreadCpuSeconds() - before;
  }
  static double ThreadCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
  }
  static inline std::atomic<int> failed{0};
  double inCalls = 0;  // this machine's thread, inside WriteStatusRecord
  double thread = 0;   // this machine's thread, all of it

 protected:
  void Execute() override {}
};

double CpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec +
         u.ru_stime.tv_usec / 1e6;
}

pid_t StartSubscriber(int port, const std::string& out) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, 1);
    const std::string p = std::to_string(port);
    ::execl("/usr/bin/mosquitto_sub", "mosquitto_sub", "-h", "127.0.0.1", "-p", p.c_str(), "-q",
            "1", "-c", "-i", "zova-bench-sub", "-t", "zova/#", "-v", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

// Per machine, the record numbers the subscriber got: first arrivals must be
// 1, 2, 3 ... (a repeat of one in flight at the broker's stop is allowed).
bool CheckDelivery(const std::string& path, int perMachine, long& messages, long& repeats) {
  std::map<int, int> highest;
  std::ifstream in(path);
  bool ok = true;
  messages = repeats = 0;
  for (std::string line; std::getline(in, line);) {
    const size_t m = line.find("/Maskin"), r = line.find("\"text\":\"R");
    if (m == std::string::npos || r == std::string::npos) continue;
    const int machine = std::atoi(line.c_str() + m + 7);
    const int n = std::atoi(line.c_str() + r + 9);
    ++messages;
    int& h = highest[machine];
    if (n <= h) {
      ++repeats;
    } else if (n == h + 1) {
      h = n;
    } else {
      std::printf("machine %d: record %d came after %d\n", machine, n, h);
      ok = false;
      h = n;
    }
  }
  for (int machine = 1; machine <= kMachines; ++machine)
    if (highest[machine] != perMachine) {
      std::printf("machine %d: %d of %d records arrived\n", machine, highest[machine], perMachine);
      ok = false;
    }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
  const bool publish = !(argc > 2 && std::string(argv[2]) == "files");
  if (!zova::test::MosquittoBroker::Available()) {
    std::printf("status_publish: mosquitto is not installed (scripts/install-deps)\n");
    return 2;
  }
  char tmpl[] = "/tmp/zova-bench-states-XXXXXX";
  const std::string dir = std::string(::mkdtemp(tmpl)) + "/";
  zova::test::MosquittoBroker broker(dir);
  if (!broker.Start()) return 2;
  const std::string ini = dir + "Zova.ini";
  {
    std::ofstream out(ini);
    out << "[Program]\r\nMaskiner=" << kMachines << "\r\nTemp=" << dir
        << "\r\nMqttServer=" << (publish ? broker.Server() : "") << "\r\n";
    for (int n = 1; n <= kMachines; ++n) out << "[Maskin" << n << "]\r\nNavn=M" << n << "\r\n";
  }
  zova::LoadProgramSettings(ini, zova::ProgramDir());
  zova::QueueCallOver callOver;
  zova::MainThread::Install(&callOver);
  const pid_t sub = StartSubscriber(broker.Port(), dir + "sub.txt");

  zova::StationModel model(kMachines);
  zova::UiLinks links;
  links.model = &model;
  std::vector<std::unique_ptr<Recorder>> machines;
  for (int n = 1; n <= kMachines; ++n)
    machines.push_back(std::make_unique<Recorder>(links, model.Request(n), n));
  auto publisher = zova::mqtt::StatePublisher::Start(model, zova::mqtt::ReadMqttSettings());
  // Let the subscriber's session exist before the first record.
  std::this_thread::sleep_for(std::chrono::seconds(1));

  const int perMachine = seconds * kPerSecond;
  std::atomic<int> running{kMachines};
  std::vector<std::thread> threads;
  const auto start = Steady::now();
  const double cpuStart = CpuSeconds();
  const double mainStart = Recorder::ThreadCpuSeconds();
  for (auto& m : machines)
    threads.emplace_back([&, r = m.get()] {
      // Spread over the 100 ms so that the machines do not write in step.
      const auto first = start + std::chrono::milliseconds(r->MachineNo() % 100);
      for (int i = 1; i <= perMachine; ++i) {
        std::this_thread::sleep_until(first + std::chrono::milliseconds(100) * (i - 1));
        r->Record(i);
      }
      r->thread = Recorder::ThreadCpuSeconds();
      running.fetch_sub(1);
    });
  bool stopped = false, restarted = false;
  while (running.load() > 0) {
    callOver.WaitAndServe(20);
    const auto t = Steady::now() - start;
    if (!stopped && t > std::chrono::seconds(seconds / 3)) {
      broker.Stop();
      stopped = true;
      std::printf("broker stopped at %.1f s\n", std::chrono::duration<double>(t).count());
    }
    if (stopped && !restarted && t > std::chrono::seconds(seconds / 3 + 10)) {
      if (!broker.Start()) return 2;
      restarted = true;
      std::printf("broker started again at %.1f s\n", std::chrono::duration<double>(t).count());
    }
  }
  for (auto& t : threads) t.join();
  const double wall = std::chrono::duration<double>(Steady::now() - start).count();
  const double cpu = CpuSeconds() - cpuStart;
  // Records no longer pass the main thread; here it only runs the broker's
  // outage, which is the bench's own too.
  const double mainThread = Recorder::ThreadCpuSeconds() - mainStart;
  // The machines' threads stand for the drivers, which wake for their lines
  // anyway; what they spend outside the record calls is the bench's own.
  double inCalls = 0, machineThreads = 0;
  for (auto& m : machines) {
    inCalls += m->inCalls;
    machineThreads += m->thread;
  }
  const double own = machineThreads - inCalls + mainThread;
  const double station = cpu - own;
  // Drain: the queue empties once the broker has everything.
  const auto drainStart = Steady::now();
  while (publisher && publisher->Stats().Queued > 0 &&
         Steady::now() - drainStart < std::chrono::seconds(30))
    callOver.WaitAndServe(50);
  const double drain = std::chrono::duration<double>(Steady::now() - drainStart).count();
  const auto stats = publisher ? publisher->Stats() : zova::mqtt::MqttPublisher::Stats{};
  publisher.reset();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  ::kill(sub, SIGTERM);
  ::waitpid(sub, nullptr, 0);

  long fileLines = 0;
  for (int n = 1; n <= kMachines; ++n) {
    std::ifstream f(zova::FsPath(dir + "MASKIN" + std::to_string(n) + ".SDV"));
    for (std::string l; std::getline(f, l);) ++fileLines;
  }
  long messages = 0, repeats = 0;
  const bool delivered = !publish || CheckDelivery(dir + "sub.txt", perMachine, messages, repeats);
  std::printf(
      "%d machines x %d records/s for %.1f s: %d records\n"
      "CPU of the process, all threads: %.2f s = %.2f%% of one core\n"
      "  writing and publishing (record calls %.2f s, the station's other threads %.2f s): "
      "%.2f%% of one core\n"
      "  the bench's own (machines' threads outside the record calls, main thread): %.2f s\n"
      "files: %ld lines (%s), write failures %d\n"
      "broker: %llu acknowledged, %llu dropped, %llu connections; drained %.1f s after the end\n"
      "subscriber: %ld messages, %ld repeats; every record in order: %s\n",
      kMachines, kPerSecond, wall, kMachines * perMachine, cpu, 100 * cpu / wall, inCalls,
      station - inCalls, 100 * station / wall, own, fileLines,
      fileLines == kMachines * perMachine ? "all" : "MISSING", Recorder::failed.load(),
      static_cast<unsigned long long>(stats.Delivered),
      static_cast<unsigned long long>(stats.Dropped),
      static_cast<unsigned long long>(stats.Connects), drain, messages, repeats,
      delivered ? "yes" : "NO");
  zova::MainThread::Install(nullptr);
  broker.Stop();
  std::string rm = "rm -rf " + dir;
  if (std::system(rm.c_str()) != 0) return 1;
  return delivered && fileLines == kMachines * perMachine ? 0 : 1;
}
