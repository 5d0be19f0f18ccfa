#pragma once
// A pseudo-terminal pair for tests: the master plays the control, the slave
// path is what the station opens.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace zova::test {

class PtyPair {
 public:
  PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
      char name[128];
      if (::ptsname_r(master_, name, sizeof name) == 0) slave_ = name;
    }
  }
  ~PtyPair() { CloseMaster(); }
  bool Ok() const { return master_ >= 0 && !slave_.empty(); }
  int Master() const { return master_; }
  const std::string& SlavePath() const { return slave_; }
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  void Send(const std::string& s) const {
    size_t done = 0;
    while (done < s.size()) {
      ssize_t n = ::write(master_, s.data() + done, s.size() - done);
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }
  // Reads until Want bytes arrived or TimeoutMs passed without a byte.
  std::string Receive(size_t want, int timeoutMs = 2000) const {
    std::string out;
    char buf[4096];
    while (out.size() < want) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, timeoutMs) <= 0) break;
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, static_cast<size_t>(n));
    }
    return out;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

}  // namespace zova::test
