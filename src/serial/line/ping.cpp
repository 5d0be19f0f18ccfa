#include "serial/line/ping.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

#include "core/latin1.h"
#include "serial/device/serial_device.h"

namespace zova {

namespace {

std::atomic<uint16_t> nextSequence{1};

struct Socket {
  int fd = -1;
  ~Socket() {
    if (fd >= 0) ::close(fd);
  }
};

bool Resolve(const std::string& host, sockaddr_in& addr, std::string& error) {
  if (Trim(host).empty()) {
    error = "Error getting HostName";
    return false;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* list = nullptr;
  if (::getaddrinfo(Trim(host).c_str(), nullptr, &hints, &list) != 0 || !list) {
    error = "Error getting IP from HostName";
    return false;
  }
  std::memcpy(&addr, list->ai_addr, sizeof addr);
  ::freeaddrinfo(list);
  return true;
}

int OpenIcmp(PingMethod& method, int& err) {
  int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd >= 0) {
    method = PingMethod::Datagram;
    return fd;
  }
  err = errno;
  fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd >= 0) {
    method = PingMethod::Raw;
    return fd;
  }
  return -1;
}

// True for our echo reply. A raw socket sees every ICMP message of the host
// (on loopback even our own request), with the IP header in front.
bool IsOurReply(const unsigned char* buf, size_t len, PingMethod method, uint16_t id,
                uint16_t seq) {
  size_t off = 0;
  if (method == PingMethod::Raw) {
    if (len < sizeof(iphdr)) return false;
    off = static_cast<size_t>(reinterpret_cast<const iphdr*>(buf)->ihl) * 4;
  }
  if (len < off + sizeof(icmphdr)) return false;
  icmphdr h;
  std::memcpy(&h, buf + off, sizeof h);
  if (h.type != ICMP_ECHOREPLY || ntohs(h.un.echo.sequence) != seq) return false;
  // The kernel owns the identifier of a datagram socket and filters on it.
  return method == PingMethod::Datagram || ntohs(h.un.echo.id) == id;
}

bool AwaitReply(int fd, PingMethod method, uint16_t id, uint16_t seq, int timeoutMs) {
  using namespace std::chrono;
  auto deadline = steady_clock::now() + milliseconds(timeoutMs);
  unsigned char buf[1500];
  for (;;) {
    auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    int n = ::poll(&p, 1, static_cast<int>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    ssize_t got = ::recv(fd, buf, sizeof buf, 0);
    if (got > 0 && IsOurReply(buf, static_cast<size_t>(got), method, id, seq)) return true;
  }
}

}  // namespace

uint16_t IcmpChecksum(const unsigned char* data, size_t len) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < len; i += 2) sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
  if (len % 2) sum += static_cast<uint32_t>(data[len - 1] << 8);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint16_t>(~sum);
}

PingResult PingOnce(const std::string& host, int timeoutMs) {
  PingResult r;
  sockaddr_in addr{};
  if (!Resolve(host, addr, r.error)) return r;
  int dgramErr = 0;
  Socket s;
  s.fd = OpenIcmp(r.method, dgramErr);
  if (s.fd < 0) {
    r.error =
        L1("Ping ikke tillatt: ICMP-datagram er sperret (net.ipv4.ping_group_range) og rå "
           "socket krever CAP_NET_RAW");
    return r;
  }
  uint16_t id = static_cast<uint16_t>(::getpid());
  uint16_t seq = nextSequence++;
  icmphdr h{};
  h.type = ICMP_ECHO;
  h.un.echo.id = htons(id);
  h.un.echo.sequence = htons(seq);
  unsigned char packet[sizeof h];
  std::memcpy(packet, &h, sizeof h);
  uint16_t sum = htons(IcmpChecksum(packet, sizeof packet));
  std::memcpy(packet + offsetof(icmphdr, checksum), &sum, sizeof sum);
  ssize_t sent;
  do
    sent =
        ::sendto(s.fd, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  while (sent < 0 && errno == EINTR);
  if (sent < 0) {
    r.error = DeviceErrorText(errno);
    return r;
  }
  r.ok = AwaitReply(s.fd, r.method, id, seq, timeoutMs);
  if (!r.ok) r.error = DeviceErrorText(ETIMEDOUT);
  return r;
}

}  // namespace zova
