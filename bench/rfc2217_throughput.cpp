// A program through ser2net serving a pseudo-terminal, with the station's
// device in RFC 2217 mode against the same ser2net as a raw TCP port: what the
// Telnet layer (IAC doubling on the way out, decoding on the way in, the
// option talk) costs.
//
//   rfc2217_throughput [send|send-run|send-1k|receive|station|station-send|
//                       station-receive|all]... [--rounds N] [--kb N]
//                      [--send-kb N] [--run-kb N] [--1k-kb N] [--receive-kb N]
//                      [--station-kb N] [--side rfc2217|raw]
//
// send             one byte per Write, a driver's rhythm on a hardware-
//                  handshake line; timed until the control's end has read the
//                  last byte (--send-kb, 256)
// send-run         Writes of 256 bytes, the station's rhythm on an XON/XOFF
//                  line (--run-kb, 4096)
// send-1k          Writes of 1 KB, a fast send's blocks (--1k-kb, 4096)
// receive          the control's end writes the program; the device reads it
//                  with Read into 4 KB, until the last byte (--receive-kb, 4096)
// station-send     the real station (headless, an XON/XOFF port) answers a
//                  request with the program; first byte to last byte at the
//                  control's end (--station-kb, 1024)
// station-receive  the control's end sends the program; from its first byte
//                  until the station has stored the file (--station-kb)
// station          both station parts
//
// --kb N sets every size. The device parts send NC text with one 0xFF byte
// per line, so that the doubling is exercised; the station parts send plain
// NC text, as a control would. Each of --rounds (5) rounds measures RFC 2217
// and raw TCP back to back, in turns which one goes first; each measurement
// gets its own pty and ser2net. Reported: the median of the rounds' ratios
// (raw time / RFC 2217 time, so 100% is "as fast as raw"), their range, and
// the fastest round of each side. --side measures one side only, to profile it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "pty_pair.h"
#include "ser2net_server.h"
#include "serial/device/open_device.h"
#include "station_run.h"

namespace {

using bench::Clock;
using bench::Fail;
using bench::ReadFile;
using bench::Since;
using bench::TempDir;
using bench::WriteFile;
using zova::test::Ser2net;
namespace fs = std::filesystem;

// --side: only that side is measured, for profiling one of them.
std::string g_side;

// One measurement: the time, and the CPU time of the client (the bench's
// process for the device parts, the station for the others) and of ser2net.
struct Sample {
  double seconds = 0, client = 0, server = 0;
};

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double OwnCpu() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return Seconds(u.ru_utime) + Seconds(u.ru_stime);
}

std::string DeviceProgram(size_t bytes) {
  std::string p;
  for (int n = 1; p.size() < bytes; ++n)
    p += "N" + std::to_string(n) + " G01 X12.345 Y-6.789 Z0.5 F250 \xFF\r\n";
  p.resize(bytes);
  return p;
}

// Framed by % and named RECV, as the station stores what a control sends.
std::string StationProgram(size_t bytes) {
  std::string text = "%\r\nO1000 (RECV)\r\n";
  const std::string end = "M30\r\n%\r\n";
  char line[48];
  for (long i = 0; text.size() + end.size() < bytes; ++i) {
    std::snprintf(line, sizeof line, "N%07ld G1 X%03ld.5 Y7 F300\r\n", i % 10000000, i % 1000);
    text += line;
  }
  return text + end;
}

// Reads the control's end until Want bytes came, first byte to last; a
// negative time on a stall of FirstMs before the first byte or 5 s after.
double Drain(int fd, size_t want, int firstMs = 5000) {
  static char buf[65536];
  size_t got = 0;
  Clock::time_point first;
  while (got < want) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, got ? 5000 : firstMs) <= 0) return -1;
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) return -1;
    if (got == 0) first = Clock::now();
    got += static_cast<size_t>(n);
  }
  return Since(first);
}

// Writes Data into the control's end as fast as it is taken.
void Feed(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) Fail("write to the pty failed");
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, 20000) == 0) Fail("nobody takes the bytes");
  }
}

struct Line {
  zova::test::PtyPair pty;
  Ser2net server;
  explicit Line(Ser2net::Mode mode) : server(pty.SlavePath(), mode) {
    if (!pty.Ok()) Fail("no pseudo-terminal");
    if (!server.Error().empty()) Fail(server.Error());
  }
};

std::unique_ptr<zova::SerialDevice> OpenDevice(const Line& line) {
  int err = 0;
  auto dev = zova::OpenDeviceByName(line.server.Address(), err);
  if (!dev) Fail("cannot open " + line.server.Address() + ": " + std::strerror(err));
  zova::LineSettings s;
  s.baud = 115200;
  dev->Configure(s, err);
  return dev;
}

Sample DeviceSend(Ser2net::Mode mode, const std::string& prog, size_t block) {
  Line line(mode);
  auto dev = OpenDevice(line);
  const double cpu0 = OwnCpu();
  double seconds = -1;
  std::thread reader([&] { seconds = Drain(line.pty.Master(), prog.size()); });
  const auto* p = reinterpret_cast<const uint8_t*>(prog.data());
  for (size_t at = 0; at < prog.size();) {
    zova::IoResult r = dev->Write(p + at, std::min(block, prog.size() - at), 5000);
    if (r.count == 0) break;
    at += r.count;
  }
  reader.join();
  if (seconds < 0) Fail("the send stalled");
  const double cpu = OwnCpu() - cpu0;
  line.server.Stop();
  return {seconds, cpu, line.server.CpuSeconds()};
}

Sample DeviceReceive(Ser2net::Mode mode, const std::string& prog) {
  Line line(mode);
  auto dev = OpenDevice(line);
  // ser2net opens the tty when the client connects; bytes written before
  // that would be lost.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const double cpu0 = OwnCpu();
  auto start = Clock::now();
  std::thread writer([&] { line.pty.Send(prog); });
  uint8_t buf[4096];
  size_t got = 0;
  while (got < prog.size()) {
    zova::IoResult r = dev->Read(buf, sizeof buf, 5000);
    if (r.count == 0) break;
    got += r.count;
  }
  double seconds = Since(start);
  writer.join();
  if (got != prog.size()) Fail("the reception stalled");
  const double cpu = OwnCpu() - cpu0;
  line.server.Stop();
  return {seconds, cpu, line.server.CpuSeconds()};
}

// The station headless with one STANDARD machine on Device, its own pauses
// twenty times faster; the port is XON/XOFF, so a send goes in runs.
class Station {
 public:
  Station(const TempDir& dir, const std::string& device) : dir_(dir) {
    fs::create_directories(dir / "M1");
    std::string ini = "[Program]\r\nMaskiner=1\r\nTemp=" + dir.path +
                      "\r\n\r\n[Maskin1]\r\nNavn=Fres 1\r\nProtokoll=STANDARD\r\nPort=COM1\r\n"
                      "Katalog=" +
                      (dir / "M1/") + "\r\nVenteTid=1\r\n\r\n[COM1]\r\nEnhet=" + device +
                      "\r\nBaud=115200\r\nKode=ASCII\r\nXonXoff=True\r\nTimeMultiplier=100\r\n";
    WriteFile(dir / "Zova.ini", ini);
    int out = ::open((dir / "station.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out, 1);
      ::dup2(out, 2);
      for (const std::string& e : bench::StationEnv(dir, 20)) ::putenv(::strdup(e.c_str()));
      std::string ini_path = dir / "Zova.ini";
      ::execl(ZOVA_EXE, ZOVA_EXE, ini_path.c_str(), "--headless", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(out);
    if (pid_ < 0) Fail("fork failed");
    bench::g_children.push_back(pid_);
  }
  ~Station() { Stop(); }
  // Its CPU time in all.
  double Stop() {
    if (pid_ <= 0) return 0;
    ::kill(pid_, SIGTERM);
    int status = 0;
    rusage u{};
    ::wait4(pid_, &status, 0, &u);
    std::erase(bench::g_children, pid_);
    pid_ = -1;
    return Seconds(u.ru_utime) + Seconds(u.ru_stime);
  }
  // Waits until the station's output has a line with Text.
  void WaitFor(const std::string& text, int timeoutMs) const {
    auto start = Clock::now();
    while (ReadFile(dir_ / "station.out").find(text) == std::string::npos) {
      if (Since(start) * 1000 > timeoutMs) Fail("the station did not report \"" + text + "\"");
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

 private:
  const TempDir& dir_;
  pid_t pid_ = -1;
};

// The station's connection makes ser2net open the tty; the master reports
// POLLHUP until then.
void WaitTtyOpen(int master) {
  auto start = Clock::now();
  for (;;) {
    pollfd p{master, 0, 0};
    if (::poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP)) return;
    if (Since(start) > 10) Fail("ser2net did not open the tty for the station");
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

Sample StationSend(Ser2net::Mode mode, const std::string& prog) {
  TempDir dir;
  Line line(mode);
  fs::create_directories(dir / "M1");
  WriteFile(dir / "M1/O1000.NC", prog);
  Station station(dir, line.server.Address());
  WaitTtyOpen(line.pty.Master());
  // The station purges the line after it opened it.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  line.pty.Send("%\r\n(O1000) M30\r\n");
  double seconds = Drain(line.pty.Master(), prog.size(), 20000);
  if (seconds < 0) Fail("the station's send stalled");
  station.WaitFor("Status: Fil sendt", 20000);
  const double cpu = station.Stop();
  line.server.Stop();
  return {seconds, cpu, line.server.CpuSeconds()};
}

Sample StationReceive(Ser2net::Mode mode, const std::string& prog) {
  TempDir dir;
  Line line(mode);
  Station station(dir, line.server.Address());
  WaitTtyOpen(line.pty.Master());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  auto start = Clock::now();
  std::thread writer([&] { Feed(line.pty.Master(), prog); });
  // The file appears under its name when the reception is complete.
  const std::string stored = dir / "M1/RECV.NC";
  struct stat st {};
  while (::stat(stored.c_str(), &st) != 0 || static_cast<size_t>(st.st_size) < prog.size()) {
    if (Since(start) > 60) Fail("the station did not store the program");
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  double seconds = Since(start);
  writer.join();
  if (ReadFile(stored) != prog) Fail("the station stored something else");
  const double cpu = station.Stop();
  line.server.Stop();
  return {seconds, cpu, line.server.CpuSeconds()};
}

struct Part {
  const char* name;
  size_t kb;
  Sample (*measure)(Ser2net::Mode, const std::string&);
  bool station;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t mid = v.size() / 2;
  return v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

// A sample as text: the time and where the CPU went.
std::string Text(const Sample& s) {
  char t[96];
  std::snprintf(t, sizeof t, "%7.3f s (cpu client %.3f, ser2net %.3f)", s.seconds, s.client,
                s.server);
  return t;
}

void Run(const Part& part, int rounds) {
  const std::string prog =
      part.station ? StationProgram(part.kb * 1024) : DeviceProgram(part.kb * 1024);
  if (!g_side.empty()) {
    const auto mode = g_side == "raw" ? Ser2net::Mode::RawTcp : Ser2net::Mode::Rfc2217;
    for (int round = 0; round < rounds; ++round)
      std::printf("  %-15s round %d: %s %s\n", part.name, round + 1, g_side.c_str(),
                  Text(part.measure(mode, prog)).c_str());
    return;
  }
  std::vector<double> rfc, raw, ratios, clientCpu, serverCpu;
  for (int round = 0; round < rounds; ++round) {
    // Whoever goes first may find the caches cold or the machine busier.
    Sample a, b;
    if (round % 2 == 0) {
      a = part.measure(Ser2net::Mode::Rfc2217, prog);
      b = part.measure(Ser2net::Mode::RawTcp, prog);
    } else {
      b = part.measure(Ser2net::Mode::RawTcp, prog);
      a = part.measure(Ser2net::Mode::Rfc2217, prog);
    }
    rfc.push_back(a.seconds);
    raw.push_back(b.seconds);
    ratios.push_back(100.0 * b.seconds / a.seconds);
    clientCpu.push_back(a.client / b.client);
    serverCpu.push_back(a.server / b.server);
    std::printf("  %-15s round %d: rfc2217 %s  raw %s  %6.1f%%\n", part.name, round + 1,
                Text(a).c_str(), Text(b).c_str(), ratios.back());
    std::fflush(stdout);
  }
  const double mb = static_cast<double>(prog.size()) / 1e6;
  const double bestRfc = *std::min_element(rfc.begin(), rfc.end());
  const double bestRaw = *std::min_element(raw.begin(), raw.end());
  std::printf(
      "%-15s %zu bytes, %d rounds: median %.1f%% of raw (%.1f%% to %.1f%%); best rounds rfc2217 "
      "%.3f s %.2f MB/s, raw %.3f s %.2f MB/s, %.1f%%; median times %.3f s / %.3f s; CPU "
      "rfc2217/raw median: client %.2f, ser2net %.2f\n",
      part.name, prog.size(), rounds, Median(ratios),
      *std::min_element(ratios.begin(), ratios.end()),
      *std::max_element(ratios.begin(), ratios.end()), bestRfc, mb / bestRfc, bestRaw, mb / bestRaw,
      100.0 * bestRaw / bestRfc, Median(rfc), Median(raw), Median(clientCpu), Median(serverCpu));
  std::fflush(stdout);
}

Sample SendByte(Ser2net::Mode m, const std::string& p) {
  return DeviceSend(m, p, 1);
}
Sample SendRun(Ser2net::Mode m, const std::string& p) {
  return DeviceSend(m, p, 256);
}
Sample Send1k(Ser2net::Mode m, const std::string& p) {
  return DeviceSend(m, p, 1024);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Part> parts = {
      {"send", 256, SendByte, false},
      {"send-run", 4096, SendRun, false},
      {"send-1k", 4096, Send1k, false},
      {"receive", 4096, DeviceReceive, false},
      {"station-send", 1024, StationSend, true},
      {"station-receive", 1024, StationReceive, true},
  };
  const std::map<std::string, std::vector<std::string>> sizeOptions = {
      {"--send-kb", {"send"}},
      {"--run-kb", {"send-run"}},
      {"--1k-kb", {"send-1k"}},
      {"--receive-kb", {"receive"}},
      {"--station-kb", {"station-send", "station-receive"}}};
  int rounds = 5;
  std::vector<std::string> wanted;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--side" && i + 1 < argc) {
      g_side = argv[++i];
      if (g_side != "rfc2217" && g_side != "raw") Fail("--side is rfc2217 or raw");
    } else if (a.rfind("--", 0) == 0) {
      if (i + 1 >= argc) Fail(a + " needs a number");
      const long n = std::atol(argv[++i]);
      if (n <= 0) Fail(a + " needs a number above 0");
      if (a == "--rounds") {
        rounds = static_cast<int>(n);
      } else if (a == "--kb") {
        for (Part& p : parts) p.kb = static_cast<size_t>(n);
      } else if (auto it = sizeOptions.find(a); it != sizeOptions.end()) {
        for (Part& p : parts)
          if (std::count(it->second.begin(), it->second.end(), p.name))
            p.kb = static_cast<size_t>(n);
      } else {
        Fail("unknown option " + a);
      }
    } else if (a == "station") {
      wanted.insert(wanted.end(), {"station-send", "station-receive"});
    } else if (a == "all" || std::any_of(parts.begin(), parts.end(),
                                         [&](const Part& p) { return a == p.name; })) {
      wanted.push_back(a);
    } else {
      Fail("unknown part " + a);
    }
  }
  if (wanted.empty()) wanted.push_back("all");
  if (Ser2net::Program().empty()) Fail("ser2net is not installed (Debian package ser2net)");
  ::signal(SIGPIPE, SIG_IGN);
  std::printf("through ser2net serving a pty; rfc2217 against raw tcp, interleaved\n");
  for (const Part& p : parts)
    if (std::count(wanted.begin(), wanted.end(), "all") ||
        std::count(wanted.begin(), wanted.end(), p.name))
      Run(p, rounds);
  return 0;
}
