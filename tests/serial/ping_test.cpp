// Ping of a network serial server. Every test runs in a network namespace
// of its own and pings only its loopback address.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "serial/line/ping.h"

namespace zova {
namespace {

bool WriteProc(const char* path, const std::string& text) {
  int fd = ::open(path, O_WRONLY);
  if (fd < 0) return false;
  bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return ok;
}

bool LoopbackUp() {
  int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  ifreq ifr{};
  std::strcpy(ifr.ifr_name, "lo");
  bool ok = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &ifr) == 0;
  ifr.ifr_flags |= IFF_UP;
  ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &ifr) == 0;
  if (fd >= 0) ::close(fd);
  return ok;
}

void DropNetRaw() {
  __user_cap_header_struct hdr{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  ::syscall(SYS_capget, &hdr, data);
  data[CAP_NET_RAW / 32].effective &= ~(1u << (CAP_NET_RAW % 32));
  data[CAP_NET_RAW / 32].permitted &= ~(1u << (CAP_NET_RAW % 32));
  ::syscall(SYS_capset, &hdr, data);
}

constexpr int kNoNamespace = 99;

// Runs Body in a child in a new user and network namespace (loopback up
// when LoUp); its result is the child's exit code, kNoNamespace when the
// system refuses namespaces.
int InOwnNetwork(bool loUp, const std::function<int()>& body) {
  uid_t uid = ::getuid();
  gid_t gid = ::getgid();
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) ::_exit(kNoNamespace);
    WriteProc("/proc/self/setgroups", "deny");
    WriteProc("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
    WriteProc("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    if (loUp && !LoopbackUp()) ::_exit(98);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Expect(const PingResult& r, bool ok, PingMethod method, const char* errorPart) {
  bool good = r.ok == ok && r.method == method && r.error.find(errorPart) != std::string::npos;
  if (!good)
    std::fprintf(stderr, "ping: ok=%d method=%d error=%s\n", r.ok, static_cast<int>(r.method),
                 r.error.c_str());
  return good ? 0 : 1;
}

#define REQUIRE_NAMESPACE(code) \
  if ((code) == kNoNamespace) GTEST_SKIP() << "user and network namespaces are not permitted here"

TEST(Ping, RawSocketWhereDatagramsAreForbidden) {
  int code = InOwnNetwork(true, [] {
    WriteProc("/proc/sys/net/ipv4/ping_group_range", "1 0");
    return Expect(PingOnce("127.0.0.1"), true, PingMethod::Raw, "");
  });
  REQUIRE_NAMESPACE(code);
  EXPECT_EQ(code, 0);
}

TEST(Ping, DatagramSocketWhereAllowed) {
  int code = InOwnNetwork(true, [] {
    if (!WriteProc("/proc/sys/net/ipv4/ping_group_range", "0 0")) return 97;
    return Expect(PingOnce("localhost"), true, PingMethod::Datagram, "");
  });
  REQUIRE_NAMESPACE(code);
  if (code == 97) GTEST_SKIP() << "ping_group_range cannot be set in the namespace";
  EXPECT_EQ(code, 0);
}

TEST(Ping, NeitherSocketAllowedSaysWhy) {
  int code = InOwnNetwork(true, [] {
    WriteProc("/proc/sys/net/ipv4/ping_group_range", "1 0");
    DropNetRaw();
    return Expect(PingOnce("127.0.0.1"), false, PingMethod::None, "CAP_NET_RAW");
  });
  REQUIRE_NAMESPACE(code);
  EXPECT_EQ(code, 0);
}

TEST(Ping, LoopbackDownFailsFast) {
  int code = InOwnNetwork(false, [] {
    PingResult r = PingOnce("127.0.0.1", 250);
    return r.ok || r.error.empty() ? 1 : 0;
  });
  REQUIRE_NAMESPACE(code);
  EXPECT_EQ(code, 0);
}

TEST(Ping, NamesThatDoNotResolve) {
  PingResult r = PingOnce("  ");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Error getting HostName");
  int code = InOwnNetwork(true, [] {
    PingResult r = PingOnce("no-such-host.invalid");
    return !r.ok && r.error == "Error getting IP from HostName" ? 0 : 1;
  });
  REQUIRE_NAMESPACE(code);
  EXPECT_EQ(code, 0);
}

TEST(Ping, Checksum) {
  // An echo request with id 1 and sequence 1, no data.
  unsigned char msg[8] = {8, 0, 0, 0, 0, 1, 0, 1};
  EXPECT_EQ(IcmpChecksum(msg, 8), 0xF7FD);
  msg[2] = 0xF7;
  msg[3] = 0xFD;
  EXPECT_EQ(IcmpChecksum(msg, 8), 0) << "a message with its checksum sums to zero";
  unsigned char odd[3] = {0x01, 0x02, 0x03};
  EXPECT_EQ(IcmpChecksum(odd, 3), static_cast<uint16_t>(~(0x0102 + 0x0300)));
}

}  // namespace
}  // namespace zova
