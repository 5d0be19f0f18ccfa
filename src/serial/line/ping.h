#pragma once
// One ICMP echo to a network serial server, to keep an idle line's server
// awake and to notice when it is gone. An unprivileged ICMP datagram socket
// is used where the system allows one (net.ipv4.ping_group_range), else a
// raw socket where the station has CAP_NET_RAW; when neither is allowed the
// error text says so.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zova {

enum class PingMethod { None, Datagram, Raw };

struct PingResult {
  bool ok = false;
  PingMethod method = PingMethod::None;
  std::string error;  // Latin-1, for the Melding column
};

// Blocks the calling thread for at most TimeoutMs after the echo is sent
// (name resolution comes first and is not limited by it). EINTR is retried.
PingResult PingOnce(const std::string& host, int timeoutMs = 250);

// The Internet checksum of an ICMP message (RFC 1071).
uint16_t IcmpChecksum(const unsigned char* data, size_t len);

}  // namespace zova
