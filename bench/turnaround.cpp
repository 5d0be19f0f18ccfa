// The station's turnaround on the protocols that cost a round trip per
// character (ECHO) or per line (RASKIN), measured on the real station
// (headless) over pseudo-terminals with many lines at once.
//
//   turnaround [echo|raskin]... [--lines N] [--chars N]
//
// echo    each of --lines (20) machines sends a program of --chars (20000)
//         characters with ECHO; the control played here writes every
//         character back at once.
// raskin  the same with RASKIN; the control acknowledges the station's "R"
//         and every line (about 28 characters) with DLE "7" at once.
//
// The lines start together: each control holds its first answer until every
// line has begun. A sample is the time from the control's answer having been
// written (its write() returned) to the next byte of the station having been
// read: the station's turnaround plus the pseudo-terminal's latency both ways
// and the wake-up of the measuring thread; nothing is subtracted. Target:
// median < 1 ms, 99th percentile < 5 ms.
// Everything lives in a fresh directory under $TMPDIR, removed at the end.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ser2net_server.h"
#include "station_run.h"

namespace {

using namespace bench;

constexpr char kCr = '\r';
constexpr char kEot = 4;
const std::string kAck7 =
    "\x10"
    "7";

enum class Kind { Echo, Raskin };

// All lines wait here until each has its first byte from the station.
class StartGate {
 public:
  explicit StartGate(int lines) : waiting_(lines) {}
  void Arrive() {
    --waiting_;
    const auto start = Clock::now();
    while (waiting_ > 0) {
      if (Since(start) > 30) Fail("not every line began its send");
      std::this_thread::yield();
    }
  }

 private:
  std::atomic<int> waiting_;
};

// The control's end of one line: answers at once and times the station.
struct LineControl {
  const Pty* pty = nullptr;
  Kind kind = Kind::Echo;
  std::vector<double> samplesUs;
  std::string received;
  std::string error;

  void Run(StartGate& gate) {
    bool answered = false, begun = false;
    Clock::time_point answeredAt;
    std::string line;
    char buf[4096];
    for (;;) {
      pollfd p{pty->master, POLLIN, 0};
      const int n = ::poll(&p, 1, begun ? 3000 : 30000);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;  // the station is done (or never began)
      const ssize_t r = ::read(pty->master, buf, sizeof buf);
      const auto now = Clock::now();
      if (r < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (r <= 0) break;
      if (answered) {
        samplesUs.push_back(std::chrono::duration<double, std::micro>(now - answeredAt).count());
        answered = false;
      }
      if (!begun) {
        begun = true;
        gate.Arrive();
      }
      received.append(buf, static_cast<size_t>(r));
      std::string answer;
      if (kind == Kind::Echo) {
        answer.assign(buf, static_cast<size_t>(r));
      } else {
        for (ssize_t i = 0; i < r; ++i) {
          if (buf[i] == kEot) return;
          line += buf[i];
          if (buf[i] == kCr) {
            answer += kAck7;
            line.clear();
          }
        }
      }
      if (answer.empty()) continue;
      if (::write(pty->master, answer.data(), answer.size()) !=
          static_cast<ssize_t>(answer.size())) {
        error = "answer not written";
        return;
      }
      answeredAt = Clock::now();
      answered = true;
    }
  }
};

double Percentile(const std::vector<double>& sorted, double q) {
  if (sorted.empty()) return 0;
  return sorted[static_cast<size_t>(q * static_cast<double>(sorted.size() - 1))];
}

void Measure(Kind kind, int lines, size_t chars) {
  TempDir dir;
  std::vector<std::unique_ptr<Pty>> ptys;
  std::vector<std::string> devices;
  for (int i = 0; i < lines; ++i) {
    ptys.push_back(std::make_unique<Pty>());
    devices.push_back(ptys.back()->slave);
  }
  const int webPort = zova::test::FreeLoopbackPort();
  // A read waits 10 s for its answer: the lines that began first wait for
  // the others at the start.
  const std::string ini = WriteStationIni(dir, devices, kind == Kind::Echo ? "ECHO" : "RASKIN",
                                          "StoppKode=%\r\n", "TimeOut=100\r\n", webPort);
  const std::string program = Program(chars, "TURN");
  for (int n = 1; n <= lines; ++n) WriteFile(MachineDir(dir, n) + "O1000.NC", program);
  Station station(dir, ini);
  for (auto& p : ptys) p->WaitSlave(true);
  Sleep(500);  // the station purges each line after it opened it

  StartGate gate(lines);
  std::vector<LineControl> controls(static_cast<size_t>(lines));
  std::vector<std::thread> threads;
  for (int i = 0; i < lines; ++i) {
    controls[static_cast<size_t>(i)].pty = ptys[static_cast<size_t>(i)].get();
    controls[static_cast<size_t>(i)].kind = kind;
  }
  for (auto& c : controls) threads.emplace_back([&c, &gate] { c.Run(gate); });
  const std::vector<std::string> env = StationEnv(dir, 20);
  station.WaitFor("Status: Kj", lines, 30000);  // "Kjører kommunikasjon"
  const int quiet = OpenOut(dir / "ctl.out");
  for (int n = 1; n <= lines; ++n) {
    // The web interface may come up a little after the lines.
    for (int tries = 1;; ++tries) {
      const pid_t ctl = Spawn({ZOVA_EXE, "ctl", ini, "send", std::to_string(n), "O1000.NC"}, env,
                              -1, quiet, quiet);
      if (WaitChild(ctl) == 0) break;
      if (tries == 20) Fail("zova ctl send " + std::to_string(n) + " failed");
      Sleep(250);
    }
  }
  ::close(quiet);
  for (auto& t : threads) t.join();
  station.WaitFor(kind == Kind::Echo ? "Status: Fil sendt" : "Status: Sending slutt", lines, 20000);
  std::vector<double> all;
  for (const LineControl& c : controls) {
    if (!c.error.empty()) Fail(c.error);
    if (c.received.find(program) == std::string::npos && kind == Kind::Echo)
      Fail("a line got something else than the program");
    all.insert(all.end(), c.samplesUs.begin(), c.samplesUs.end());
  }
  station.Stop();
  std::sort(all.begin(), all.end());
  const double median = Percentile(all, 0.5), p99 = Percentile(all, 0.99);
  std::printf(
      "%-7s %d lines, %zu answers: median %.0f us, 99%% %.0f us, 99.9%% %.0f us, worst %.0f us "
      "(target median < 1000 us %s, 99%% < 5000 us %s)\n",
      kind == Kind::Echo ? "echo" : "raskin", lines, all.size(), median, p99,
      Percentile(all, 0.999), all.empty() ? 0.0 : all.back(), median < 1000 ? "met" : "MISSED",
      p99 < 5000 ? "met" : "MISSED");
  std::fflush(stdout);
}

long Option(int& i, int argc, char** argv) {
  if (i + 1 >= argc) Fail(std::string(argv[i]) + " needs a number");
  return std::atol(argv[++i]);
}

}  // namespace

int main(int argc, char** argv) {
  long lines = 20, chars = 20000;
  std::vector<std::string> parts;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--lines")
      lines = Option(i, argc, argv);
    else if (a == "--chars")
      chars = Option(i, argc, argv);
    else if (a == "echo" || a == "raskin")
      parts.push_back(a);
    else
      Fail("unknown argument " + a);
  }
  if (parts.empty()) parts = {"echo", "raskin"};
  for (const std::string& p : parts)
    Measure(p == "echo" ? Kind::Echo : Kind::Raskin, static_cast<int>(lines),
            static_cast<size_t>(chars));
  return 0;
}
