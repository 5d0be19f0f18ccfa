#include "serial/device/serial_device.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/latin1.h"
#include "core/station_log.h"

namespace zova {

IoResult SerialDevice::Read(uint8_t* buf, size_t max, int timeoutMs) {
  IoResult r;
  if (max == 0) return r;
  while (begin_ == end_) {
    begin_ = end_ = 0;
    r = ReadSome(buffer_, kBufferSize, timeoutMs);
    if (r.count == 0) return r;
    end_ = r.count;
    if (stripNul_)
      end_ = static_cast<size_t>(std::remove(buffer_, buffer_ + end_, uint8_t{0}) - buffer_);
    // Only NULs arrived: take real bytes that are already waiting, but do not
    // wait longer than asked.
    timeoutMs = 0;
  }
  size_t n = std::min(max, end_ - begin_);
  std::memcpy(buf, buffer_ + begin_, n);
  begin_ += n;
  r = IoResult{};
  r.count = n;
  return r;
}

int PollWithWake(int fd, short events, int timeoutMs, int wakeFd) {
  using namespace std::chrono;
  if (timeoutMs < 0) timeoutMs = 0;
  auto deadline = steady_clock::now() + milliseconds(timeoutMs);
  for (;;) {
    pollfd p[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
    const int n = ::poll(p, wakeFd >= 0 ? 2 : 1, timeoutMs);
    if (n > 0) {
      if (wakeFd >= 0 && (p[1].revents & POLLIN)) {
        uint64_t count = 0;
        [[maybe_unused]] ssize_t taken = ::read(wakeFd, &count, sizeof count);
        // Bytes that came with the wake are read first.
        if (!p[0].revents) return kWoken;
      }
      return p[0].revents;
    }
    if (n == 0) return 0;
    if (errno != EINTR) return -1;
    auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    timeoutMs = left > 0 ? static_cast<int>(left) : 0;
  }
}

IoResult SerialDevice::ReadByte(uint8_t& b, int timeoutMs) {
  if (begin_ != end_) {
    b = buffer_[begin_++];
    IoResult r;
    r.count = 1;
    return r;
  }
  return Read(&b, 1, timeoutMs);
}

bool SerialDevice::Purge(bool rx, bool tx) {
  if (rx) begin_ = end_ = 0;
  return PurgeDevice(rx, tx);
}

void SerialDevice::LogUnavailableOnce(unsigned feature, std::string_view what) {
  if (loggedFeatures_ & feature) return;
  loggedFeatures_ |= feature;
  LogStationWarning(Name() + ": " + std::string(what) + " " + L1("ikke tilgjengelig"));
}

}  // namespace zova
