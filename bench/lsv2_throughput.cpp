// LSV2 sends measured on the real station (headless) over pseudo-terminals:
// the control asks for a program with "TDPP" and the station runs its send
// dialogue; the control here is written from the wire description (ENQ,
// DLE "0", DLE STX text DLE ETX BCC, DLE "1", EOT) and timestamps every
// byte it waits for.
//
//   lsv2_throughput [--kb N] [--lines N] [--many-kb N] [--port KEY=VALUE]...
//
// one   one line taking a program of --kb KB (1024): bytes a second of the
//       program's data, first data telegram to "T FD"
// many  --lines (20) lines at once, each taking --many-kb KB (--kb)
//
// --port adds a key to every port section (DtrDsr=False, say).
//
// Turnaround is the station's own time: from the control's last byte
// written (its acknowledgement or its answer) to the station's next byte
// arriving. It is measured at the control, so it includes two pty hops and
// the control thread's own wake-up: an upper bound of the station's part.
// Two kinds are shown: "next frame", from the EOT that closes the control's
// "T NB" to the ENQ of the station's next data telegram (the station reads
// the file and frames the block), and "any", every wait of the control.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "station_run.h"

namespace {

using namespace bench;

constexpr char kStx = 0x02, kEtx = 0x03, kEot = 0x04, kEnq = 0x05, kDle = 0x10;
const std::string kStatus = "R ST  1002006200000000000000000000000000000000000000000758";

std::string Frame(const std::string& text) {
  char bcc = kEtx;
  for (char c : text) bcc = static_cast<char>(bcc ^ c);
  return std::string{kDle, kStx} + text + std::string{kDle, kEtx, bcc};
}

// The control's end of one line.
class Control {
 public:
  explicit Control(const Pty& pty) : fd_(pty.master) {}

  std::vector<double> any, nextFrame;  // microseconds
  size_t dataBytes = 0;
  double dataSeconds = 0;
  std::string data, error;

  // Asks for Name and takes the send dialogue to its "T FD".
  bool Run(const std::string& name) {
    if (!SendTelegram("TDPP   " + name)) return false;
    Clock::time_point firstData{};
    for (;;) {
      std::string t;
      if (!ReadTelegram(t)) return false;
      if (t == "T ST  " || t == "M AU  ") {
        if (!SendTelegram(kStatus)) return false;
      } else if (t.compare(0, 4, "PRPP") == 0) {
        if (!SendTelegram("M RR  ")) return false;
      } else if (t.compare(0, 4, "R PP") == 0) {
        if (data.empty()) firstData = Clock::now();
        data += t.substr(4);
        if (!SendTelegram("T NB")) return false;
        nextWanted_ = true;
      } else if (t == "T FD") {
        dataSeconds = Since(firstData);
        dataBytes = data.size();
        return true;
      } else {
        return Failed("unexpected \"" + t + "\"");
      }
    }
  }

 private:
  bool Failed(const std::string& what) {
    error = what;
    return false;
  }
  void Write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
      } else {
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, 100);
      }
    }
    written_ = Clock::now();
    waiting_ = true;
  }
  bool Read(char& ch) {
    while (at_ == fill_) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 20000) <= 0) return Failed("the station went quiet");
      const ssize_t n = ::read(fd_, buf_, sizeof buf_);
      if (n <= 0) continue;
      at_ = 0;
      fill_ = static_cast<size_t>(n);
    }
    if (waiting_) {
      const double us = std::chrono::duration<double, std::micro>(Clock::now() - written_).count();
      any.push_back(us);
      if (nextWanted_) nextFrame.push_back(us);
      waiting_ = nextWanted_ = false;
    }
    ch = buf_[at_++];
    return true;
  }
  bool Expect(char want) {
    char ch = 0;
    if (!Read(ch)) return false;
    return ch == want || Failed("got byte " + std::to_string(ch & 0xFF));
  }
  bool ReadTelegram(std::string& text) {
    if (!Expect(kEnq)) return false;
    Write(std::string{kDle, '0'});
    std::string block;
    char ch = 0;
    while (!(block.size() >= 4 && block[block.size() - 2] == kDle && block.back() == kEtx)) {
      if (!Read(ch)) return false;
      block += ch;
    }
    char bcc = 0;
    if (!Read(bcc)) return false;
    text = block.substr(2, block.size() - 4);
    if (Frame(text).back() != bcc) return Failed("wrong block check");
    Write(std::string{kDle, '1'});
    return Expect(kEot);
  }
  bool SendTelegram(const std::string& text) {
    Write(std::string(1, kEnq));
    if (!Expect(kDle) || !Expect('0')) return false;
    Write(Frame(text));
    if (!Expect(kDle) || !Expect('1')) return false;
    Write(std::string(1, kEot));
    return true;
  }

  int fd_;
  char buf_[4096];
  size_t at_ = 0, fill_ = 0;
  Clock::time_point written_;
  bool waiting_ = false, nextWanted_ = false;
};

std::string g_portKeys;

std::string WriteIni(const TempDir& dir, const std::vector<std::string>& devices) {
  std::string ini = "[Program]\r\nMaskiner=" + std::to_string(devices.size()) +
                    "\r\nTemp=" + dir.path + "\r\n\r\n";
  for (size_t i = 0; i < devices.size(); ++i) {
    const std::string m = std::to_string(i + 1);
    fs::create_directories(MachineDir(dir, static_cast<int>(i) + 1));
    ini += "[Maskin" + m + "]\r\nNavn=LSV2 " + m + "\r\nProtokoll=LSV2\r\nPort=COM" + m +
           "\r\nKatalog=" + MachineDir(dir, static_cast<int>(i) + 1) + "\r\n\r\n";
    ini += "[COM" + m + "]\r\nEnhet=" + devices[i] + "\r\nKode=ASCII\r\nTimeMultiplier=200\r\n" +
           g_portKeys + "\r\n";
  }
  WriteFile(dir / "Zova.ini", ini);
  return dir / "Zova.ini";
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

void Report(const char* what, const std::vector<double>& us, double targetMedian,
            double targetP99) {
  const double median = Percentile(us, 0.5), p99 = Percentile(us, 0.99);
  std::printf(
      "  %-11s %7zu waits  median %7.3f ms  99%% %7.3f ms  worst %7.3f ms  %s\n", what, us.size(),
      median / 1000, p99 / 1000, Percentile(us, 1.0) / 1000,
      median / 1000 < targetMedian && p99 / 1000 < targetP99 ? "within target" : "OUTSIDE target");
}

// Lines lines, each taking a program of Kb KB at once.
void Run(const char* what, int lines, size_t kb) {
  TempDir dir;
  std::vector<std::unique_ptr<Pty>> ptys;
  std::vector<std::string> devices;
  for (int i = 0; i < lines; ++i) {
    ptys.push_back(std::make_unique<Pty>());
    devices.push_back(ptys.back()->slave);
  }
  const std::string ini = WriteIni(dir, devices);
  const std::string program = Program(kb * 1024, "LSV2");
  for (int i = 1; i <= lines; ++i) WriteFile(MachineDir(dir, i) + "PROG.NC", program);
  Station station(dir, ini);
  for (auto& p : ptys) p->WaitSlave(true);
  Sleep(500);  // the station purges each line after it opened it
  std::vector<std::unique_ptr<Control>> controls;
  std::vector<std::thread> threads;
  std::atomic<int> failed{0};
  const auto start = Clock::now();
  for (auto& p : ptys) {
    controls.push_back(std::make_unique<Control>(*p));
    Control* c = controls.back().get();
    threads.emplace_back([c, &failed] {
      if (!c->Run("PROG")) ++failed;
    });
  }
  for (auto& t : threads) t.join();
  const double wall = Since(start);
  for (auto& c : controls)
    if (!c->error.empty()) Fail(c->error);
  std::vector<double> any, next;
  size_t bytes = 0;
  double slowest = 0;
  for (auto& c : controls) {
    if (c->data != program) Fail("a control got another program");
    any.insert(any.end(), c->any.begin(), c->any.end());
    next.insert(next.end(), c->nextFrame.begin(), c->nextFrame.end());
    bytes += c->dataBytes;
    slowest = std::max(slowest, c->dataSeconds);
  }
  std::printf("%s: %d line(s), %zu KB each, %.1f s; %s\n", what, lines, kb, wall,
              station.CpuText().c_str());
  std::printf("  data        %.1f KB/s a line (slowest), %.1f KB/s in all\n",
              static_cast<double>(kb * 1024) / slowest / 1000,
              static_cast<double>(bytes) / slowest / 1000);
  Report("next frame", next, 1, 5);
  Report("any", any, 1, 5);
  std::fflush(stdout);
}

long Option(int& i, int argc, char** argv) {
  if (i + 1 >= argc) Fail(std::string(argv[i]) + " needs a number");
  return std::atol(argv[++i]);
}

}  // namespace

int main(int argc, char** argv) {
  long kb = 1024, lines = 20, manyKb = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--kb")
      kb = Option(i, argc, argv);
    else if (a == "--lines")
      lines = Option(i, argc, argv);
    else if (a == "--many-kb")
      manyKb = Option(i, argc, argv);
    else if (a == "--port" && i + 1 < argc)
      g_portKeys += std::string(argv[++i]) + "\r\n";
    else
      Fail("unknown argument " + a);
  }
  ::signal(SIGPIPE, SIG_IGN);
  Run("one", 1, static_cast<size_t>(kb));
  Run("many", static_cast<int>(lines), static_cast<size_t>(manyKb > 0 ? manyKb : kb));
  return 0;
}
