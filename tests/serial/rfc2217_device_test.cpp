// The RFC 2217 device against a scripted server on a loopback socket: what
// it sends on every connection, escaping both ways, answers to options it
// does not use, and a server that never answers.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "serial/device/open_device.h"
#include "serial/device/rfc2217_device.h"

namespace zova {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// WILL BINARY, DO BINARY, WILL COM-PORT-OPTION, then the line-state mask
// (break, framing, parity, overrun) and the modem-state mask (CD, RI, DSR,
// CTS).
const Bytes kOpening = {0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x2C, 0xFF, 0xFA, 0x2C,
                        0x0A, 0x1E, 0xFF, 0xF0, 0xFF, 0xFA, 0x2C, 0x0B, 0xF0, 0xFF, 0xF0};

class Server {
 public:
  Server() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd_, 4);
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
  }
  ~Server() {
    Hangup();
    ::close(fd_);
  }
  std::string Address() const { return "rfc2217:127.0.0.1:" + std::to_string(port_); }
  uint16_t Port() const { return port_; }
  void Accept() { conn_ = ::accept(fd_, nullptr, nullptr); }
  void Hangup() {
    if (conn_ >= 0) ::close(conn_);
    conn_ = -1;
  }
  void Send(const Bytes& b) { ASSERT_EQ(::write(conn_, b.data(), b.size()), ssize_t(b.size())); }
  // Exactly N bytes, or what came before 2 s passed without one.
  Bytes Receive(size_t n) {
    Bytes out(n);
    size_t got = 0;
    while (got < n) {
      pollfd p{conn_, POLLIN, 0};
      if (::poll(&p, 1, 2000) <= 0) break;
      ssize_t r = ::read(conn_, out.data() + got, n - got);
      if (r <= 0) break;
      got += static_cast<size_t>(r);
    }
    out.resize(got);
    return out;
  }
  // Nothing more arrives within Ms.
  bool Quiet(int ms) {
    pollfd p{conn_, POLLIN, 0};
    return ::poll(&p, 1, ms) == 0;
  }

 private:
  int fd_ = -1, conn_ = -1;
  uint16_t port_ = 0;
};

std::unique_ptr<Rfc2217Device> OpenOn(Server& server) {
  int err = 0;
  auto dev = Rfc2217Device::Open(server.Address(), err);
  EXPECT_TRUE(dev) << DeviceErrorText(err);
  if (dev) dev->SetReconnectGap(0);
  server.Accept();
  return dev;
}

std::string ReadText(SerialDevice& d, size_t want) {
  std::string out;
  uint8_t buf[64];
  while (out.size() < want) {
    IoResult r = d.Read(buf, sizeof buf, 1000);
    if (r.count == 0) break;
    out.append(reinterpret_cast<char*>(buf), r.count);
  }
  return out;
}

TEST(Rfc2217Device, SendsEverySettingAgainOnEachConnection) {
  Server server;
  auto dev = OpenOn(server);
  ASSERT_TRUE(dev);
  EXPECT_EQ(server.Receive(kOpening.size()), kOpening);

  LineSettings s;
  s.baud = 19200;
  s.dataBits = 7;
  s.parity = Parity::Odd;
  s.stopBits = 1;
  s.rtsCts = true;
  int err = -1;
  EXPECT_TRUE(dev->Configure(s, err));
  EXPECT_EQ(err, 0);
  const Bytes settings = {
      0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0,  // 19200
      0xFF, 0xFA, 0x2C, 0x02, 0x07, 0xFF, 0xF0,                    // 7 bits
      0xFF, 0xFA, 0x2C, 0x03, 0x02, 0xFF, 0xF0,                    // odd
      0xFF, 0xFA, 0x2C, 0x04, 0x01, 0xFF, 0xF0,                    // 1 stop bit
      0xFF, 0xFA, 0x2C, 0x05, 0x03, 0xFF, 0xF0,                    // RTS/CTS out
      0xFF, 0xFA, 0x2C, 0x05, 0x10, 0xFF, 0xF0,                    // RTS/CTS in
  };
  EXPECT_EQ(server.Receive(settings.size()), settings);
  EXPECT_TRUE(dev->SetDtr(true));
  EXPECT_TRUE(dev->SetRts(false));
  const Bytes lines = {0xFF, 0xFA, 0x2C, 0x05, 0x08, 0xFF, 0xF0,
                       0xFF, 0xFA, 0x2C, 0x05, 0x0C, 0xFF, 0xF0};
  EXPECT_EQ(server.Receive(lines.size()), lines);

  for (int round = 0; round < 2; ++round) {
    server.Hangup();
    uint8_t c;
    EXPECT_TRUE(dev->ReadByte(c, 1000).hangup);
    std::thread accept([&] { server.Accept(); });
    IoResult r = dev->ReadByte(c, 50);
    accept.join();
    EXPECT_TRUE(r.timedOut) << DeviceErrorText(r.err);
    Bytes again = Cat({kOpening, settings, lines});
    EXPECT_EQ(server.Receive(again.size()), again) << "round " << round;
  }
  // Break is a moment, not a setting: it is not sent again.
  EXPECT_TRUE(dev->SetBreak(true));
  EXPECT_EQ(server.Receive(7), (Bytes{0xFF, 0xFA, 0x2C, 0x05, 0x05, 0xFF, 0xF0}));
}

TEST(Rfc2217Device, EscapesDataBothWaysAndRefusesOptionsItDoesNotUse) {
  Server server;
  auto dev = OpenOn(server);
  ASSERT_TRUE(dev);
  server.Receive(kOpening.size());

  // An IAC at the end of one segment, its double at the start of the next.
  server.Send({'A', 0xFF});
  EXPECT_EQ(ReadText(*dev, 1), "A");
  server.Send({0xFF, 'B',  0xFF, 0xFD, 0x01, 'C',  0xFF, 0xFB, 0x05, 0xFF, 0xFA,
               0x2C, 0x65, 0x00, 0x00, 0x25, 0x80, 0xFF, 0xF0, 0x00, 'D'});
  EXPECT_EQ(ReadText(*dev, 5), std::string("\xFF"
                                           "BC\0D",
                                           5));
  EXPECT_EQ(dev->ReportedBaud(), 9600u);
  EXPECT_EQ(server.Receive(6), (Bytes{0xFF, 0xFC, 0x01, 0xFF, 0xFE, 0x05}))
      << "WONT ECHO, DONT STATUS";

  const uint8_t out[] = {0x00, 0xFF, 0x41, 0xFF, 0xFF};
  IoResult w = dev->Write(out, sizeof out, 1000);
  EXPECT_EQ(w.count, sizeof out);
  EXPECT_TRUE(w.Ok());
  EXPECT_EQ(server.Receive(8), (Bytes{0x00, 0xFF, 0xFF, 0x41, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(Rfc2217Device, WritesCutShortByAFullSocketLoseAndRepeatNothing) {
  Server server;
  auto dev = OpenOn(server);
  ASSERT_TRUE(dev);
  server.Receive(kOpening.size());
  // Blocks without 0xFF go out as they are, the others doubled; cuts fall
  // anywhere, also between an 0xFF and its double.
  Bytes data;
  for (size_t i = 0; i < (6u << 20); ++i)
    data.push_back((i >> 16) % 2 ? (i % 3 ? 0xFF : 'x') : static_cast<uint8_t>('A' + i % 26));
  std::atomic<int> cut{0};
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (size_t at = 0; at < data.size();) {
      const size_t want = std::min<size_t>(65536, data.size() - at);
      IoResult r = dev->Write(data.data() + at, want, 20);
      if (r.count < want) ++cut;
      if (!r.Ok() && !r.timedOut) break;
      at += r.count;
    }
    done = true;
  });
  // The server reads nothing until the socket has cut a write short (under a
  // sanitizer the writer may need far longer than usual to fill it).
  for (int i = 0; i < 4000 && cut == 0 && !done; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const size_t wire = data.size() + static_cast<size_t>(std::count(data.begin(), data.end(), 0xFF));
  const Bytes received = server.Receive(wire);
  Bytes got;
  for (size_t i = 0; i < received.size(); ++i) {
    got.push_back(received[i]);
    if (received[i] == 0xFF && i + 1 < received.size() && received[i + 1] == 0xFF) ++i;
  }
  writer.join();
  EXPECT_GT(cut, 0) << "the socket never filled: nothing was cut";
  ASSERT_EQ(got.size(), data.size());
  EXPECT_TRUE(got == data);
}

TEST(Rfc2217Device, NeverWaitsForAServerThatDoesNotAnswer) {
  Server server;
  auto dev = OpenOn(server);
  ASSERT_TRUE(dev);
  auto start = std::chrono::steady_clock::now();
  int err;
  EXPECT_TRUE(dev->Configure(LineSettings{}, err));
  EXPECT_TRUE(dev->SetDtr(true));
  EXPECT_TRUE(dev->SetRts(true));
  EXPECT_FALSE(dev->GetModemStatus()) << "nothing reported: no modem lines to show";
  EXPECT_FALSE(dev->GetLineErrors());
  EXPECT_TRUE(dev->Purge(true, true));
  uint8_t c;
  EXPECT_TRUE(dev->ReadByte(c, 20).timedOut);
  EXPECT_EQ(dev->Write(reinterpret_cast<const uint8_t*>("%"), 1, 100).count, 1u);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  start)
                .count();
  EXPECT_LT(ms, 500);
}

TEST(Rfc2217Device, ModemAndLineReportsLeaveTheDataInPlace) {
  Server server;
  auto dev = OpenOn(server);
  ASSERT_TRUE(dev);
  server.Send({'x',  0xFF, 0xFA, 0x2C, 0x6B, 0x30, 0xFF, 0xF0,  // CTS and DSR up
               0xFF, 0xFA, 0x2C, 0x6E, 0x1E, 0xFF, 0xF0,        // mask taken
               0xFF, 0xFA, 0x2C, 0x6A, 0x08, 0xFF, 0xF0,        // a framing error
               'y'});
  std::optional<ModemStatus> m;
  for (int i = 0; i < 1000 && !m; ++i) {
    m = dev->GetModemStatus();
    if (!m) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(m);
  EXPECT_EQ(*m, (ModemStatus{.cts = true, .dsr = true, .ring = false, .dcd = false}));
  for (int i = 0; i < 1000 && !(dev->GetLineErrors() && dev->GetLineErrors()->frame); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(dev->GetLineErrors(), (LineErrorCounts{.frame = 1}));
  EXPECT_EQ(ReadText(*dev, 2), "xy");
}

TEST(Rfc2217Device, AddressesAndRefusal) {
  struct Case {
    const char* text;
    bool ok;
    const char* host;
    uint16_t port;
  };
  const Case cases[] = {
      {"rfc2217:10.0.0.5:4001", true, "10.0.0.5", 4001},
      {"RfC2217:serial-srv:2001", true, "serial-srv", 2001},
      {"rfc2217:[::1]:7000", true, "::1", 7000},
      {"rfc2217:host:0", false, "", 0},
      {"rfc2217:host", false, "", 0},
      {"rfc2217::4001", false, "", 0},
      {"tcp:10.0.0.5:4001", false, "", 0},
      {"rfc2217", false, "", 0},
  };
  for (const Case& c : cases) {
    std::string host;
    uint16_t port = 0;
    EXPECT_EQ(ParseRfc2217Address(c.text, host, port), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(host, c.host) << c.text;
      EXPECT_EQ(port, c.port) << c.text;
    }
  }
  uint16_t gone;
  {
    Server s;
    gone = s.Port();
  }
  int err = 0;
  EXPECT_FALSE(Rfc2217Device::Open("rfc2217:127.0.0.1:" + std::to_string(gone), err));
  EXPECT_EQ(err, ECONNREFUSED);
  EXPECT_FALSE(OpenDeviceByName("rfc2217:nohost", err));
  EXPECT_EQ(err, EINVAL);

  Server server;
  auto dev = OpenDeviceByName("RFC2217:127.0.0.1:" + std::to_string(server.Port()), err);
  ASSERT_TRUE(dev) << DeviceErrorText(err);
  EXPECT_TRUE(dynamic_cast<Rfc2217Device*>(dev.get())) << "the prefix in any case";
}

}  // namespace
}  // namespace zova
