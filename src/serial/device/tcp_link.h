#pragma once
// The TCP connection under the network serial devices ("tcp:" and
// "rfc2217:"): the address, one connection at a time and the reconnect rule.
// When the server closes the connection the current call reports a hang-up
// and the next one connects again, at most once per reconnect gap, so an
// idle driver does not hammer a server that is down.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "serial/device/serial_device.h"

namespace zova {

// "HOST:PORT" or "[V6ADDR]:PORT". False for an empty host or a port outside
// 1..65535.
bool ParseHostPort(std::string_view text, std::string& host, uint16_t& port);

class TcpLink {
 public:
  // How long opening a device waits for its first connection.
  static constexpr int kOpenTimeoutMs = 2000;

  TcpLink(std::string host, uint16_t port) : host_(std::move(host)), port_(port) {}
  ~TcpLink() { Drop(); }
  TcpLink(const TcpLink&) = delete;
  TcpLink& operator=(const TcpLink&) = delete;

  // One attempt, waiting at most TimeoutMs; 0 or an errno.
  int Connect(int timeoutMs);
  // True when connected, connecting first if the gap since the last attempt
  // allows; false with R.err set (ENOTCONN while the gap runs).
  bool EnsureConnected(int timeoutMs, IoResult& r);
  void Drop();
  bool Connected() const { return fd_ >= 0; }
  // How many connections were made so far: a change means a fresh one, which
  // knows nothing of what was said on the last.
  unsigned Connections() const { return connections_; }
  void SetReconnectGap(int ms) { reconnectGapMs_ = ms; }

  // All bytes waiting (at most Max), waiting at most TimeoutMs for the first.
  // A closed or reset connection is a hang-up and is dropped.
  // WakeFd (an eventfd, or -1) cuts the wait short: Woken and TimedOut set.
  IoResult Receive(uint8_t* buf, size_t max, int timeoutMs, int wakeFd = -1);
  // Len bytes; Count is what went out. TimeoutMs runs from the first time
  // the socket is full, so a send that fits at once never reads the clock.
  IoResult Send(const uint8_t* data, size_t len, int timeoutMs);
  // What is waiting now, without a wait; 0 when nothing. A closed connection
  // is left for the next Receive to report.
  size_t ReceiveNow(uint8_t* buf, size_t max);

 private:
  std::string host_;
  uint16_t port_;
  int fd_ = -1;
  unsigned connections_ = 0;
  int64_t lastAttemptMs_ = -1000000;
  int reconnectGapMs_ = 1000;
};

}  // namespace zova
