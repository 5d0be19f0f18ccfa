#pragma once
// ser2net (the Debian package) serving one tty on a port of 127.0.0.1, in
// RFC 2217 mode or as a raw TCP port, for the end-to-end tests and the
// throughput benchmark. Header-only so that both can use it.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace zova::test {

// A port of 127.0.0.1 that was free a moment ago (bound to 0, then closed).
inline uint16_t FreeLoopbackPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  uint16_t port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  ::close(fd);
  return port;
}

// True once something listens on 127.0.0.1:Port. Read from /proc rather than
// by connecting, since each connection makes ser2net open its tty.
inline bool LoopbackListening(uint16_t port) {
  char local[32];
  std::snprintf(local, sizeof local, "0100007F:%04X", port);
  std::ifstream in("/proc/net/tcp");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    std::string slot, addr, remote, state;
    f >> slot >> addr >> remote >> state;
    if (addr == local && state == "0A") return true;
  }
  return false;
}

class Ser2net {
 public:
  enum class Mode { Rfc2217, RawTcp };

  // The program on PATH or in the sbin folders; empty when not installed.
  static std::string Program() {
    std::string dirs = std::getenv("PATH") ? std::getenv("PATH") : "";
    dirs += ":/usr/sbin:/usr/local/sbin:/sbin";
    std::istringstream in(dirs);
    std::string dir;
    while (std::getline(in, dir, ':')) {
      std::string path = dir + "/ser2net";
      if (!dir.empty() && ::access(path.c_str(), X_OK) == 0) return path;
    }
    return {};
  }

  Ser2net(std::string tty, Mode mode, uint16_t port = 0)
      : tty_(std::move(tty)), mode_(mode), port_(port ? port : FreeLoopbackPort()) {
    Start();
  }
  ~Ser2net() { Stop(); }
  Ser2net(const Ser2net&) = delete;
  Ser2net& operator=(const Ser2net&) = delete;

  // Empty when it runs and listens; else why not.
  const std::string& Error() const { return error_; }
  uint16_t Port() const { return port_; }
  // User and system time it used, known once Stop has waited for it.
  double CpuSeconds() const { return cpuSeconds_; }
  std::string Address() const {
    return std::string(mode_ == Mode::Rfc2217 ? "rfc2217:" : "tcp:") +
           "127.0.0.1:" + std::to_string(port_);
  }

  void Start() {
    error_.clear();
    std::string program = Program();
    if (program.empty()) {
      error_ = "ser2net is not installed (Debian package ser2net)";
      return;
    }
    // -Y takes the YAML inline, '#' standing for a line break.
    std::string accepter = std::string(mode_ == Mode::Rfc2217 ? "telnet(rfc2217)," : "") +
                           "tcp,127.0.0.1," + std::to_string(port_);
    std::string yaml = "connection: &c1#  accepter: " + accepter + "#  connector: serialdev," +
                       tty_ + ",9600n81,local";
    std::vector<std::string> args = {program, "-u", "-n", "-d", "-Y", yaml};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    // Its debug output would only fill a pipe nobody reads.
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    int rc = posix_spawn(&pid_, program.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) {
      pid_ = -1;
      error_ = "cannot start " + program;
      return;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!LoopbackListening(port_)) {
      int status;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        error_ = "ser2net ended at once (port " + std::to_string(port_) + " taken?)";
        return;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        error_ = "ser2net does not listen on port " + std::to_string(port_);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status;
    rusage use{};
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    bool ended = false;
    for (int i = 0; i < 400 && !ended; ++i) {
      ended = ::wait4(pid_, &status, WNOHANG, &use) == pid_;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!ended) {
      ::kill(pid_, SIGKILL);
      ::wait4(pid_, &status, 0, &use);
    }
    cpuSeconds_ = seconds(use.ru_utime) + seconds(use.ru_stime);
    pid_ = -1;
  }

 private:
  std::string tty_;
  Mode mode_;
  uint16_t port_;
  pid_t pid_ = -1;
  std::string error_;
  double cpuSeconds_ = 0;
};

}  // namespace zova::test
