// Throughput of the serial lines, measured on the real station (headless)
// over pseudo-terminals, each figure beside its baseline from the same run.
//
//   line_throughput [all|send|fast|receive|paced|many|many-sending|many-receiving]...
//                   [--mb N] [--paced-kb N]
//                   [--machines N] [--many-kb N] [--rounds N] [--port KEY=VALUE]...
//                   [--window] [--web N]
//
// send     a program of --mb MB (20) sent character by character, against a
//          loop that writes the same file with one write() per byte
// fast     the same with Hurtig, against cat FILE > the station's end
// receive  the same program received and stored, against cat reading it
// paced    a send of --paced-kb KB (1024) to cncsim taking it at 115,200 baud:
//          how busy the station keeps the line
// many     --machines (100) controls at 9,600 baud at once, each taking a
//          program of --many-kb KB (128), then each sending one of a quarter
//          of that: the station's CPU time against the wall time
//
// The reader of the fast comparisons drains its end of the pty with reads of
// 64 KB; times run from the first byte to the last byte of the program. With
// --rounds N each comparison of send, fast and receive runs N times, and the
// fastest round of each side is reported as well.
//
// With --web N, N pages follow the station's live changes during many while
// a prober chooses files for machine 1 (web_probe.h).
// During many the run asks the station to come forward (what a second start
// does) four times a second and times its answer, which comes from the main
// loop: how responsive the station stays. With --window the station runs
// with its window (on $DISPLAY, or on an Xvfb of its own when there is none)
// instead of headless.
// Everything lives in a fresh directory under $TMPDIR, removed at the end.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_station.h"
#include "ser2net_server.h"
#include "web_probe.h"

namespace {

using namespace bench;

// Keys from --port, added to every port section (to try Buffer=True, say).
std::string g_portKeys;
// --web N: the web interface's port, and how many pages watch during many.
int g_webPort = 0;
int g_webWatchers = 0;

// STANDARD machines 1..N on the given devices.
std::string WriteIni(const TempDir& dir, const std::vector<std::string>& devices,
                     const std::string& machineKeys, const std::string& portKeys) {
  std::string ini = "[Program]\r\nMaskiner=" + std::to_string(devices.size()) +
                    "\r\nTemp=" + dir.path +
                    "\r\nHendelser=True\r\nWebPort=" + std::to_string(g_webPort) + "\r\n\r\n";
  for (size_t i = 0; i < devices.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    const std::string m = std::to_string(n);
    fs::create_directories(MachineDir(dir, n));
    ini += "[Maskin" + m + "]\r\nNavn=Fres " + m + "\r\nProtokoll=STANDARD\r\nPort=COM" + m +
           "\r\nKatalog=" + MachineDir(dir, n) + "\r\n" + machineKeys + "\r\n";
    ini += "[COM" + m + "]\r\nEnhet=" + devices[i] + "\r\nKode=ASCII\r\nTimeMultiplier=100\r\n" +
           portKeys + g_portKeys + "\r\n";
  }
  const std::string path = dir / "Zova.ini";
  WriteFile(path, ini);
  return path;
}

struct Drained {
  double seconds = 0;
  bool same = true;
};

// Reads the master as fast as it can until Expected has come, timed from its
// first byte to its last; then takes what follows until QuietMs pass.
Drained Drain(const Pty& pty, const std::string& expected, int firstMs, int quietMs) {
  Drained d;
  std::vector<char> buf(1 << 16);
  size_t got = 0;
  Clock::time_point first;
  auto start = Clock::now();
  for (;;) {
    pollfd p{pty.master, POLLIN, 0};
    const int n = ::poll(&p, 1, got == 0 ? firstMs : quietMs);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    const ssize_t r = ::read(pty.master, buf.data(), buf.size());
    if (r < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (r < 0 && errno == EIO && got == 0 && Since(start) * 1000 < firstMs) {
      Sleep(1);  // the writer has not opened its end yet
      continue;
    }
    if (r <= 0) break;
    if (got == 0) first = Clock::now();
    const size_t r1 = static_cast<size_t>(r);
    if (got < expected.size()) {
      const size_t cmp = std::min(r1, expected.size() - got);
      d.same = d.same && std::memcmp(buf.data(), expected.data() + got, cmp) == 0;
      if (got + r1 >= expected.size()) d.seconds = Since(first);
    }
    got += r1;
  }
  if (got < expected.size()) Fail("only " + std::to_string(got) + " bytes came");
  return d;
}

// Writes Data into the master as fast as the reader takes it.
double Feed(const Pty& pty, const std::string& data) {
  auto start = Clock::now();
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(pty.master, data.data() + done, data.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) Fail("write to the pty failed");
    pollfd p{pty.master, POLLOUT, 0};
    if (::poll(&p, 1, 20000) == 0) Fail("the reader stopped taking bytes");
  }
  return Since(start);
}

const std::string kRequest = "%\r\n(O1000) M30\r\n";

void Report(const char* what, const char* station, double sSec, const char* base, double bSec,
            size_t bytes, double target) {
  const double ratio = bSec > 0 ? 100.0 * bSec / sSec : 0;
  std::printf(
      "%-8s station %-14s %7.2f MB/s (%.2f s)  %-22s %7.2f MB/s (%.2f s)  %5.1f%% %s %.0f%%\n",
      what, station, Mb(bytes, sSec), sSec, base, Mb(bytes, bSec), bSec, ratio,
      ratio >= target ? ">=" : "< ", target);
  std::fflush(stdout);
}

struct Times {
  double station = 0, base = 0;
};

// The station answers a request with O1000.NC; then a plain writer sends the
// same file to the same pty.
Times CompareSend(const std::string& data, bool hurtig) {
  TempDir dir;
  Pty pty;
  const std::string ini =
      WriteIni(dir, {pty.slave}, hurtig ? "VenteTid=1\r\nHurtig=True\r\n" : "VenteTid=1\r\n",
               "XonXoff=True\r\n");
  const std::string file = MachineDir(dir, 1) + "O1000.NC";
  WriteFile(file, data);
  double stationSec = 0;
  std::string cpu;
  {
    Station station(dir, ini);
    pty.WaitSlave(true);
    Sleep(500);  // the station purges the line after it opened it
    if (::write(pty.master, kRequest.data(), kRequest.size()) !=
        static_cast<ssize_t>(kRequest.size()))
      Fail("request not written");
    Drained d = Drain(pty, data, 20000, 500);
    if (!d.same) Fail("the station sent something else than the file");
    station.WaitFor("Status: Fil sendt", 1, 20000);
    stationSec = d.seconds;
    cpu = station.CpuText();
  }
  pty.WaitSlave(false);
  pid_t writer;
  if (hurtig) {
    int fd = ::open(pty.slave.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    writer = Spawn({"/bin/cat", file}, {}, -1, fd, -1);
    ::close(fd);
  } else {
    writer = ::fork();
    g_children.push_back(writer);
    if (writer == 0) {
      int fd = ::open(pty.slave.c_str(), O_WRONLY | O_NOCTTY);
      for (size_t i = 0; i < data.size();) {
        ssize_t n = ::write(fd, data.data() + i, 1);
        if (n == 1)
          ++i;
        else if (n < 0 && errno != EINTR)
          ::_exit(1);
      }
      ::_exit(0);
    }
  }
  Drained base = Drain(pty, data, 20000, 300);
  if (WaitChild(writer) != 0 || !base.same) Fail("the baseline writer failed");
  if (hurtig)
    Report("fast", "(Hurtig)", stationSec, "cat FILE > pty", base.seconds, data.size(), 80);
  else
    Report("send", "(per char)", stationSec, "write() per byte", base.seconds, data.size(), 50);
  std::printf("         station CPU time for the whole run: %s\n", cpu.c_str());
  std::fflush(stdout);
  return {stationSec, base.seconds};
}

// A control sends the program; the station stores it. Then cat reads the same
// stream from the same pty into a file.
Times CompareReceive(const std::string& data) {
  TempDir dir;
  Pty pty;
  const std::string ini = WriteIni(dir, {pty.slave}, "", "");
  double readSec = 0, storedSec = 0, readCpu = 0;
  std::string cpu;
  {
    Station station(dir, ini);
    pty.WaitSlave(true);
    Sleep(500);
    auto start = Clock::now();
    const double cpu0 = station.CpuTimes().Total();
    readSec = Feed(pty, data);
    readCpu = station.CpuTimes().Total() - cpu0;
    station.WaitFor("Status: Data lagret", 1, 120000);
    storedSec = Since(start);
    cpu = station.CpuText();
  }
  if (ReadFile(MachineDir(dir, 1) + "RECV.NC") != data) Fail("the stored program differs");
  pty.WaitSlave(false);
  // The station leaves the line with VMIN 0, where a read that finds nothing
  // returns 0, which cat takes for the end.
  termios t{};
  ::tcgetattr(pty.master, &t);
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  ::tcsetattr(pty.master, TCSANOW, &t);
  int in = ::open(pty.slave.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
  const std::string outPath = dir / "cat.out";
  int out = OpenOut(outPath);
  pid_t cat = Spawn({"/bin/cat"}, {}, in, out, -1);
  ::close(in);
  ::close(out);
  pty.WaitSlave(true);
  auto start = Clock::now();
  double catSec = Feed(pty, data);
  struct stat st {};
  while (::stat(outPath.c_str(), &st) == 0 && static_cast<size_t>(st.st_size) < data.size()) {
    if (Since(start) > 60) Fail("cat did not take the whole stream");
    Sleep(1);
  }
  double catStored = Since(start);
  ::kill(cat, SIGTERM);
  WaitChild(cat);
  Report("receive", "(reading)", readSec, "cat < pty > FILE", catSec, data.size(), 80);
  std::printf(
      "         station CPU while reading %.2f s; until stored: station %.2f s (\"Data lagret\"), "
      "cat %.2f s; station CPU %s\n",
      readCpu, storedSec, catStored, cpu.c_str());
  std::fflush(stdout);
  return {readSec, catSec};
}

// Other work on the machine slows a round of either side now and then; the
// fastest round of each is what the code can do.
void ReportBest(const char* what, const char* station, const char* base,
                const std::vector<Times>& rounds, size_t bytes, double target) {
  if (rounds.size() < 2) return;
  Times best = rounds[0];
  for (const Times& t : rounds) {
    best.station = std::min(best.station, t.station);
    best.base = std::min(best.base, t.base);
  }
  std::printf("best of %zu rounds:\n", rounds.size());
  Report(what, station, best.station, base, best.base, bytes, target);
  // Each round compares both sides under the same conditions; the median of
  // those ratios is the steadier figure on a shared machine.
  std::vector<double> ratios;
  for (const Times& t : rounds) ratios.push_back(100.0 * t.base / t.station);
  std::sort(ratios.begin(), ratios.end());
  const size_t mid = ratios.size() / 2;
  const double median = ratios.size() % 2 ? ratios[mid] : (ratios[mid - 1] + ratios[mid]) / 2;
  std::printf("%-8s median of the %zu rounds' ratios: %.1f%% (%.1f%% to %.1f%%) %s %.0f%%\n", what,
              ratios.size(), median, ratios.front(), ratios.back(), median >= target ? ">=" : "< ",
              target);
}

struct Control {
  pid_t pid = -1;
  int out = -1;
  std::string partial;
  std::vector<std::string> lines;
  // Takes what the control has printed; false at its end of output.
  bool Take() {
    char buf[512];
    ssize_t n = ::read(out, buf, sizeof buf);
    if (n <= 0) return false;
    partial.append(buf, static_cast<size_t>(n));
    for (size_t nl; (nl = partial.find('\n')) != std::string::npos; partial.erase(0, nl + 1))
      lines.push_back(partial.substr(0, nl));
    return true;
  }
  bool Said(const std::string& text) const {
    for (const std::string& l : lines)
      if (l.find(text) != std::string::npos) return true;
    return false;
  }
};

std::unique_ptr<Control> StartControl(const std::string& link, int baud,
                                      const std::vector<std::string>& commands) {
  auto c = std::make_unique<Control>();
  int p[2];
  if (::pipe2(p, O_CLOEXEC) != 0) Fail("pipe failed");
  std::vector<std::string> argv{CNCSIM_EXE, "--link", link, "--baud", std::to_string(baud)};
  for (const std::string& cmd : commands) {
    argv.push_back("-e");
    argv.push_back(cmd);
  }
  c->pid = Spawn(argv, {}, -1, p[1], -1);
  ::close(p[1]);
  c->out = p[0];
  return c;
}

// Reads every control's output until each has printed a line with Text.
void WaitControls(std::vector<std::unique_ptr<Control>>& controls, const std::string& text,
                  int timeoutMs) {
  auto start = Clock::now();
  for (;;) {
    std::vector<pollfd> fds;
    bool all = true;
    for (auto& c : controls) {
      all = all && c->Said(text);
      fds.push_back({c->out, POLLIN, 0});
    }
    if (all) return;
    if (Since(start) * 1000 > timeoutMs) Fail("the controls did not all say \"" + text + "\"");
    if (::poll(fds.data(), fds.size(), 100) <= 0) continue;
    for (size_t i = 0; i < fds.size(); ++i)
      if (fds[i].revents) controls[i]->Take();
  }
}

double BusyPercent(const std::string& line) {
  size_t at = line.find("line busy ");
  return at == std::string::npos ? -1 : std::atof(line.c_str() + at + 10);
}

std::string LineWith(const Control& c, const std::string& text) {
  for (const std::string& l : c.lines)
    if (l.find(text) != std::string::npos) return l;
  return "";
}

void PacedSend(const std::string& data) {
  TempDir dir;
  std::vector<std::unique_ptr<Control>> controls;
  controls.push_back(
      StartControl(dir / "cnc1", 115200,
                   {"wait-open", "wait 500", "request \"%[CR][LF](O1000) M30[CR][LF]\"",
                    "capture " + (dir / "got.nc") + " --paced --quiet 2000 --first 20000"}));
  WaitControls(controls, "/dev/", 10000);
  const std::string ini = WriteIni(dir, {dir / "cnc1"}, "VenteTid=1\r\n", "XonXoff=True\r\n");
  WriteFile(MachineDir(dir, 1) + "O1000.NC", data);
  Station station(dir, ini);
  const int timeout = static_cast<int>(data.size() / 11520 + 30) * 1000;
  WaitControls(controls, "capture:", timeout);
  station.WaitFor("Status: Fil sendt", 1, 5000);
  if (ReadFile(dir / "got.nc").compare(0, data.size(), data) != 0)
    Fail("the control got something else than the file");
  const std::string line = LineWith(*controls[0], "capture:");
  std::printf("paced    115200 baud, %zu bytes: %s  (target >= 99%%)\n", data.size(), line.c_str());
  std::fflush(stdout);
  WaitChild(controls[0]->pid);
}

// Asks the station to come forward every 250 ms, as a second start does,
// and times each answer: the main loop gives it, so its delay is how long a
// click in the window would wait.
class RaiseProbe {
 public:
  explicit RaiseProbe(const TempDir& dir)
      : socket_(dir / ("zova-" + std::to_string(::getuid()) + ".sock")),
        thread_([this] { Run(); }) {}
  ~RaiseProbe() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::string Summary() {
    Stop();
    if (ms_.empty()) return "no answer timed";
    std::sort(ms_.begin(), ms_.end());
    auto at = [&](double q) { return ms_[static_cast<size_t>(q * (ms_.size() - 1))]; };
    char text[160];
    std::snprintf(text, sizeof text,
                  "%zu asks to come forward: median %.1f ms, 99%% %.1f ms, worst %.1f ms, "
                  "%d unanswered",
                  ms_.size(), at(0.5), at(0.99), ms_.back(), unanswered_);
    return text;
  }

 private:
  void Run() {
    while (!stop_) {
      Sleep(250);
      int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_un addr{};
      addr.sun_family = AF_UNIX;
      std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socket_.c_str());
      auto start = Clock::now();
      if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (fd >= 0) ::close(fd);
        continue;  // not listening yet
      }
      char buf[8] = {};
      pollfd p{fd, POLLIN, 0};
      const bool ok = ::write(fd, "raise\n", 6) == 6 && ::poll(&p, 1, 5000) == 1 &&
                      ::read(fd, buf, sizeof buf) >= 2 && buf[0] == 'o';
      ::close(fd);
      if (ok)
        ms_.push_back(Since(start) * 1000);
      else
        ++unanswered_;
    }
  }
  std::string socket_;
  std::atomic<bool> stop_{false};
  std::vector<double> ms_;
  int unanswered_ = 0;
  std::thread thread_;
};

// An X server for --window when there is no display: Xvfb picks a free
// display and writes its number on the pipe.
pid_t StartXvfb() {
  int fds[2];
  if (::pipe(fds) != 0) Fail("pipe failed");
  pid_t pid = Spawn(
      {"/usr/bin/Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"}, {},
      -1, fds[1], -1);
  ::close(fds[1]);
  std::string number;
  char c = 0;
  pollfd p{fds[0], POLLIN, 0};
  while (::poll(&p, 1, 10000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (number.empty()) Fail("Xvfb did not start");
  g_display = ":" + number;
  return pid;
}

// Every machine's event file (in its directory) has a line with Text.
void WaitEvents(const TempDir& dir, int machines, const std::string& text, int timeoutMs) {
  auto start = Clock::now();
  for (int n = 1; n <= machines; ++n) {
    auto has = [&] {
      for (const auto& e : fs::directory_iterator(MachineDir(dir, n)))
        if ((e.path().extension() == ".TXT" || e.path().extension() == ".Txt") &&
            ReadFile(e.path().string()).find(text) != std::string::npos)
          return true;
      return false;
    };
    while (!has()) {
      if (Since(start) * 1000 > timeoutMs)
        Fail("machine " + std::to_string(n) + " has no event \"" + text + "\"");
      Sleep(100);
    }
  }
}

// Every machine has stored exactly Data as RECV.NC.
void WaitStored(const TempDir& dir, int machines, const std::string& data, int timeoutMs) {
  auto start = Clock::now();
  for (int n = 1; n <= machines; ++n) {
    while (ReadFile(MachineDir(dir, n) + "RECV.NC") != data) {
      if (Since(start) * 1000 > timeoutMs)
        Fail("machine " + std::to_string(n) + " stored something else");
      Sleep(100);
    }
  }
}

// Every control takes a program at 9,600 baud (Send) or sends one (Receive).
void ManyLines(int machines, const std::string& data, bool stationSends) {
  TempDir dir;
  std::vector<std::unique_ptr<Control>> controls;
  std::vector<std::string> links;
  WriteFile(dir / "prog.nc", data);
  for (int n = 1; n <= machines; ++n) {
    links.push_back(dir / ("cnc" + std::to_string(n)));
    std::vector<std::string> script{"wait-open", "wait 1500", "echo go"};
    if (stationSends) {
      script.push_back("request \"%[CR][LF](O1000) M30[CR][LF]\"");
      script.push_back("capture " + (dir / ("got" + std::to_string(n))) +
                       " --paced --quiet 3000 --first 30000");
    } else {
      script.push_back("send " + (dir / "prog.nc"));
    }
    controls.push_back(StartControl(links.back(), 9600, script));
  }
  WaitControls(controls, "/dev/", 20000);
  // A pty frees room for the writer 256 bytes at a time, a quarter of a
  // second at 9,600 baud: more write tries than a UART's byte-wise room needs.
  const std::string ini = WriteIni(dir, links, stationSends ? "VenteTid=1\r\n" : "",
                                   stationSends ? "XonXoff=True\r\nBreak=30\r\n" : "");
  for (int n = 1; stationSends && n <= machines; ++n)
    WriteFile(MachineDir(dir, n) + "O1000.NC", data);
  WriteFile(MachineDir(dir, 1) + "O1000.NC", data);
  WriteFile(MachineDir(dir, 1) + "O1001.NC", data);
  Station station(dir, ini, 1);
  RaiseProbe probe(dir);
  std::unique_ptr<WebProbe> web;
  if (g_webWatchers > 0) web = std::make_unique<WebProbe>(g_webPort, g_webWatchers);
  WaitControls(controls, "go", 30000);
  const double cpu0 = station.CpuTimes().Total();
  auto start = Clock::now();
  // A send begins with a burst that fills the pty; from then on the lines
  // pace the station. A window well inside that is its steady cost.
  double steady = -1;
  if (stationSends && data.size() > 100 * 960) {
    Sleep(20000);
    const double a = station.CpuTimes().Total();
    Sleep(40000);
    steady = 100.0 * (station.CpuTimes().Total() - a) / 40.0;
  }
  const int timeout = static_cast<int>(data.size() / 960 + 60) * 1000;
  // The window prints no grid lines: there the controls and the stored files
  // tell when the transfers are done.
  if (g_display.empty())
    station.WaitFor(stationSends ? "Status: Fil sendt" : "Status: Data lagret", machines, timeout);
  else if (stationSends)
    WaitEvents(dir, machines, "Fil sendt til CNC", timeout);
  else
    WaitStored(dir, machines, data, timeout);
  const double wall = Since(start), cpu = station.CpuTimes().Total() - cpu0;
  const std::string answers = probe.Summary();
  const std::string webFigures = web ? web->Summary() : "";
  double minBusy = 100;
  if (stationSends) {
    WaitControls(controls, "capture:", static_cast<int>(data.size() / 960 + 30) * 1000);
    for (auto& c : controls) minBusy = std::min(minBusy, BusyPercent(LineWith(*c, "capture:")));
  } else {
    WaitStored(dir, machines, data, 5000);
  }
  station.Stop();
  for (auto& c : controls) WaitChild(c->pid);
  // Receiving should cost about what sending does: at most 10% of a core
  // headless, 15% with the window.
  const int target = stationSends ? 25 : g_display.empty() ? 10 : 15;
  std::printf(
      "many     %d lines at 9600 baud, station %s %zu bytes each: CPU %.2f s in %.2f s = "
      "%.1f%% of one core (target < %d%%)",
      machines, stationSends ? "sending" : "receiving", data.size(), cpu, wall, 100.0 * cpu / wall,
      target);
  if (stationSends) std::printf("; least busy line %.2f%% busy", minBusy);
  if (steady >= 0) std::printf("; steady 40 s from 20 s on: %.1f%% of one core", steady);
  std::printf("\n         %s: %s\n", g_display.empty() ? "headless" : "window", answers.c_str());
  if (!webFigures.empty()) std::printf("         %s\n", webFigures.c_str());
  std::fflush(stdout);
}

long Option(int& i, int argc, char** argv) {
  if (i + 1 >= argc) Fail(std::string(argv[i]) + " needs a number");
  return std::atol(argv[++i]);
}

}  // namespace

int main(int argc, char** argv) {
  long mb = 20, pacedKb = 1024, machines = 100, manyKb = 128, rounds = 1;
  bool window = false;
  std::vector<std::string> parts;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--mb")
      mb = Option(i, argc, argv);
    else if (a == "--paced-kb")
      pacedKb = Option(i, argc, argv);
    else if (a == "--machines")
      machines = Option(i, argc, argv);
    else if (a == "--many-kb")
      manyKb = Option(i, argc, argv);
    else if (a == "--port" && i + 1 < argc)
      g_portKeys += std::string(argv[++i]) + "\r\n";
    else if (a == "--window")
      window = true;
    else if (a == "--web")
      g_webWatchers = static_cast<int>(Option(i, argc, argv));
    else if (a == "--rounds")
      rounds = std::max(1L, Option(i, argc, argv));
    else if (a == "all" || a == "send" || a == "fast" || a == "receive" || a == "paced" ||
             a == "many" || a == "many-sending" || a == "many-receiving")
      parts.push_back(a);
    else
      Fail("unknown argument " + a);
  }
  if (parts.empty()) parts.push_back("all");
  if (g_webWatchers > 0) g_webPort = zova::test::FreeLoopbackPort();
  ::signal(SIGPIPE, SIG_IGN);
  pid_t xvfb = -1;
  if (window) {
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
      g_display = display;
    else
      xvfb = StartXvfb();
  }
  auto want = [&](const char* p) {
    return std::find(parts.begin(), parts.end(), "all") != parts.end() ||
           std::find(parts.begin(), parts.end(), p) != parts.end();
  };
  const std::string big = Program(static_cast<size_t>(mb) << 20, "RECV");
  std::vector<Times> t;
  if (want("send")) {
    for (long r = 0; r < rounds; ++r) t.push_back(CompareSend(big, false));
    ReportBest("send", "(per char)", "write() per byte", t, big.size(), 50);
  }
  if (want("fast")) {
    t.clear();
    for (long r = 0; r < rounds; ++r) t.push_back(CompareSend(big, true));
    ReportBest("fast", "(Hurtig)", "cat FILE > pty", t, big.size(), 80);
  }
  if (want("receive")) {
    t.clear();
    for (long r = 0; r < rounds; ++r) t.push_back(CompareReceive(big));
    ReportBest("receive", "(reading)", "cat < pty > FILE", t, big.size(), 80);
  }
  if (want("paced")) PacedSend(Program(static_cast<size_t>(pacedKb) << 10, "PACED"));
  // A pty takes some 64 KB before it holds the writer back: a send must be
  // longer than that to pace the station for most of its time.
  if (want("many") || want("many-sending"))
    ManyLines(static_cast<int>(machines), Program(static_cast<size_t>(manyKb) << 10, "RECV"), true);
  if (want("many") || want("many-receiving"))
    ManyLines(static_cast<int>(machines), Program(static_cast<size_t>(manyKb) << 8, "RECV"), false);
  if (xvfb > 0) {
    ::kill(xvfb, SIGTERM);
    WaitChild(xvfb);
  }
  return 0;
}
