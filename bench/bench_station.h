#pragma once
// What the throughput drivers share: pseudo-terminals, children that never
// outlive a failed run, a scratch directory, programs of a given size, and
// the real station run headless (or with its window) on an INI of the run.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline double Since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

inline void Sleep(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Every process this run started, so that a failure leaves none behind.
inline std::vector<pid_t> g_children;

[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
  for (pid_t pid : g_children) ::kill(pid, SIGKILL);
  std::exit(1);
}

inline double Mb(size_t bytes, double seconds) {
  return seconds > 0 ? static_cast<double>(bytes) / seconds / 1e6 : 0;
}

// Blocks of about 28 bytes with CR LF ends, framed by % as a control expects.
inline std::string Program(size_t bytes, const std::string& name) {
  std::string text = "%\r\nO1000 (" + name + ")\r\n";
  const std::string end = "M30\r\n%\r\n";
  char line[48];
  for (long i = 0; text.size() + end.size() < bytes; ++i) {
    std::snprintf(line, sizeof line, "N%07ld G1 X%03ld.5 Y7 F300\r\n", i % 10000000, i % 1000);
    text += line;
  }
  return text + end;
}

inline void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) Fail("cannot write " + path);
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Pty {
  int master = -1;
  std::string slave;
  Pty() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0)
      Fail("posix_openpt failed");
    termios t{};
    ::tcgetattr(master, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master, TCSANOW, &t);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    slave = name;
  }
  ~Pty() { ::close(master); }
  // A master reports POLLHUP while no one holds the slave.
  bool SlaveOpen() const {
    pollfd p{master, 0, 0};
    return ::poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP);
  }
  void WaitSlave(bool open, int timeoutMs = 15000) const {
    auto start = Clock::now();
    while (SlaveOpen() != open) {
      if (Since(start) * 1000 > timeoutMs)
        Fail(slave + (open ? " was not opened" : " was not closed"));
      Sleep(5);
    }
  }
};

inline pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                   int in, int out, int err) {
  pid_t pid = ::fork();
  if (pid == 0) {
    if (in >= 0) ::dup2(in, 0);
    if (out >= 0) ::dup2(out, 1);
    if (err >= 0) ::dup2(err, 2);
    for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  if (pid < 0) Fail("fork failed");
  g_children.push_back(pid);
  return pid;
}

inline int OpenOut(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Fail("cannot create " + path);
  return fd;
}

struct TempDir {
  std::string path;
  TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string t = std::string(base && *base ? base : "/tmp") + "/zova-line-XXXXXX";
    if (!::mkdtemp(t.data())) Fail("mkdtemp failed");
    path = t;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// The station's settings and registries stay inside the run's directory; its
// own pauses run twenty times faster, line timeouts stay real.
inline std::vector<std::string> StationEnv(const TempDir& dir, int clockScale) {
  return {"XDG_RUNTIME_DIR=" + dir.path, "ZOVA_SYSTEM_REGISTRY=" + (dir / "sys.ini"),
          "ZOVA_USER_REGISTRY=" + (dir / "user.ini"),
          "ZOVA_CLOCK_SCALE=" + std::to_string(clockScale)};
}

inline std::string MachineDir(const TempDir& dir, int n) {
  return dir / ("M" + std::to_string(n) + "/");
}

// --window: the X display the station's window goes to; empty: headless.
inline std::string g_display;

class Station {
 public:
  // ClockScale 1: the station's own time runs as on a shop floor, for
  // figures of its cost over time.
  Station(const TempDir& dir, const std::string& ini, int clockScale = 20)
      : outPath_(dir / "station.out") {
    int out = OpenOut(outPath_), err = OpenOut(dir / "station.err");
    std::vector<std::string> argv;
    // For profiling: LINE_THROUGHPUT_WRAP="valgrind --tool=callgrind" runs the
    // station under that command.
    if (const char* wrap = std::getenv("LINE_THROUGHPUT_WRAP")) {
      std::istringstream words(wrap);
      for (std::string w; words >> w;) argv.push_back(w);
    }
    argv.insert(argv.end(), {ZOVA_EXE, ini});
    std::vector<std::string> env = StationEnv(dir, clockScale);
    if (g_display.empty()) {
      argv.push_back("--headless");
    } else {
      env.insert(env.end(), {"DISPLAY=" + g_display, "QT_QPA_PLATFORM=xcb"});
    }
    pid_ = Spawn(argv, env, -1, out, err);
    ::close(out);
    ::close(err);
  }
  ~Station() {
    if (pid_ > 0) Stop();
  }
  // Waits until Count more lines of the station's output contain Text.
  void WaitFor(const std::string& text, int count, int timeoutMs) {
    auto start = Clock::now();
    int seen = 0;
    for (;;) {
      std::string all = ReadFile(outPath_);
      size_t end = all.rfind('\n');
      if (end != std::string::npos && end + 1 > scanned_) {
        for (size_t at = all.find(text, scanned_); at != std::string::npos && at < end;
             at = all.find(text, at + text.size()))
          ++seen;
        scanned_ = end + 1;
      }
      if (seen >= count) return;
      if (Since(start) * 1000 > timeoutMs)
        Fail("the station did not report \"" + text + "\" (" + std::to_string(seen) + " of " +
             std::to_string(count) + ")");
      Sleep(50);
    }
  }
  // User and system time of all its threads so far.
  struct Cpu {
    double user = 0, system = 0;
    double Total() const { return user + system; }
  };
  Cpu CpuTimes() const {
    std::string stat = ReadFile("/proc/" + std::to_string(pid_) + "/stat");
    std::istringstream in(stat.substr(stat.rfind(')') + 2));
    std::string field;
    Cpu c;
    const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
    for (int i = 3; i <= 15 && in >> field; ++i) {
      if (i == 14) c.user = static_cast<double>(std::atol(field.c_str())) / tick;
      if (i == 15) c.system = static_cast<double>(std::atol(field.c_str())) / tick;
    }
    return c;
  }
  std::string CpuText() const {
    Cpu c = CpuTimes();
    char text[96];
    std::snprintf(text, sizeof text, "%.2f s (user %.2f, system %.2f)", c.Total(), c.user,
                  c.system);
    // How many read and write calls it made: the system's share per byte.
    std::istringstream io(ReadFile("/proc/" + std::to_string(pid_) + "/io"));
    std::string calls;
    for (std::string key, value; io >> key >> value;)
      if (key == "syscr:" || key == "syscw:") calls += " " + key + " " + value;
    return text + calls;
  }
  void Stop() {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the station did not end cleanly");
  }

 private:
  std::string outPath_;
  pid_t pid_ = -1;
  size_t scanned_ = 0;
};

inline int WaitChild(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace bench
