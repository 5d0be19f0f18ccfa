#pragma once
// A real MQTT broker (Debian's mosquitto) on 127.0.0.1 for the tests of the
// published machine states: started on a free port with its own persistence
// directory, so that it can be stopped and started again with its sessions
// and messages kept, as a broker restart in a shop does. Header-only, for
// the tests and the benchmark alike.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include <fstream>

namespace zova::test {

class MosquittoBroker {
 public:
  static constexpr const char* kBinary = "/usr/sbin/mosquitto";
  static bool Available() { return ::access(kBinary, X_OK) == 0; }
  static bool ClientsAvailable() { return ::access("/usr/bin/mosquitto_sub", X_OK) == 0; }

  explicit MosquittoBroker(const std::string& dir) : dir_(dir), port_(FreePort()) {}
  ~MosquittoBroker() { Stop(); }
  MosquittoBroker(const MosquittoBroker&) = delete;
  MosquittoBroker& operator=(const MosquittoBroker&) = delete;

  int Port() const { return port_; }
  std::string Server() const { return "127.0.0.1:" + std::to_string(port_); }

  // Starts it and waits until it accepts connections; false when it did not.
  bool Start() {
    const std::string conf = dir_ + "mosquitto.conf";
    std::ofstream(conf, std::ios::trunc) << ("listener " + std::to_string(port_) +
                                             " 127.0.0.1\nallow_anonymous true\npersistence true\n"
                                             "persistence_location " +
                                             dir_ +
                                             "\nautosave_interval 0\n"
                                             "max_queued_messages 0\nlog_dest file " +
                                             dir_ + "mosquitto.log\n" +
                                             // As root it would become the user mosquitto, who may
                                             // not write the test's directory.
                                             (::geteuid() == 0 ? "user root\n" : ""));
    pid_ = ::fork();
    if (pid_ == 0) {
      ::execl(kBinary, kBinary, "-c", conf.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until) {
      if (Accepts()) return true;
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  // Stops it as a service manager does (it saves its sessions).
  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  static int FreePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
      port = ntohs(a.sin_port);
    ::close(fd);
    return port;
  }
  bool Accepts() const {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port_));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
  }

  std::string dir_;
  int port_;
  pid_t pid_ = -1;
};

}  // namespace zova::test
