// The serial device backends: termios mapping, pseudo-terminal behaviour,
// the loopback cable, the network serial server and opening by port name.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <set>
#include <thread>

#include "core/config/config.h"
#include "core/latin1.h"
#include "pty_pair.h"
#include "serial/device/loopback_device.h"
#include "serial/device/open_device.h"
#include "serial/device/tcp_device.h"
#include "serial/device/termios_device.h"
#include "serial/device/termios_settings.h"
#include "serial/line/port_settings.h"
#include "support/test_support.h"

namespace zova {
namespace {

LineSettings Make(int baud, int bits, Parity p, int stop, bool ixon, bool ixoff, bool rts) {
  LineSettings s;
  s.baud = baud;
  s.dataBits = bits;
  s.parity = p;
  s.stopBits = stop;
  s.xonXoffOut = ixon;
  s.xonXoffIn = ixoff;
  s.rtsCts = rts;
  return s;
}

TEST(TermiosSettings, BuildThenReadBackGivesTheSettings) {
  const LineSettings cases[] = {
      Make(9600, 8, Parity::None, 1, false, false, false),
      Make(300, 7, Parity::Even, 2, true, false, false),
      Make(115200, 7, Parity::Odd, 1, true, true, false),
      Make(4800, 8, Parity::Even, 1, false, false, true),
      Make(110, 5, Parity::Odd, 2, false, true, true),
      Make(2400, 6, Parity::None, 1, true, true, true),
  };
  for (LineSettings want : cases) {
    want.xoffChar = 0x93;  // DC3 with its ISO parity bit
    termios base{}, t{};
    int err = -1;
    ASSERT_TRUE(BuildTermios(want, base, t, err)) << want.baud;
    EXPECT_EQ(err, 0);
    LineSettings got = ReadTermios(t);
    EXPECT_EQ(SettingsDifference(want, got), "") << want.baud;
    EXPECT_EQ(t.c_iflag & IXANY, 0u) << "any byte would restart output after XOFF";
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP), 0u) << "bytes must pass unchanged";
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_NE(t.c_cflag & CREAD, 0u);
  }
}

TEST(TermiosSettings, IxanyInTheBaseIsCleared) {
  termios base{}, t{};
  base.c_iflag = IXANY | ICRNL | IXON;
  int err;
  ASSERT_TRUE(BuildTermios(Make(9600, 8, Parity::None, 1, false, false, false), base, t, err));
  EXPECT_EQ(t.c_iflag & (IXANY | IXON | ICRNL), 0u);
}

TEST(TermiosSettings, RefusesWhatTheKernelCannotDo) {
  termios base{}, t{};
  int err = 0;
  EXPECT_FALSE(BuildTermios(Make(12345, 8, Parity::None, 1, false, false, false), base, t, err));
  EXPECT_EQ(err, EINVAL);
  EXPECT_FALSE(BuildTermios(Make(9600, 9, Parity::None, 1, false, false, false), base, t, err));
  EXPECT_FALSE(BuildTermios(Make(9600, 4, Parity::None, 1, false, false, false), base, t, err));
}

TEST(TermiosSettings, DifferenceNamesEachField) {
  LineSettings a, b;
  b.parity = Parity::Even;
  b.dataBits = 7;
  EXPECT_EQ(SettingsDifference(a, b), "databits, paritet");
  b = a;
  b.dtrDsr = true;  // no termios form
  EXPECT_EQ(SettingsDifference(a, b), "");
}

TEST(DeviceErrorText, KnownCodesAreOperatorTexts) {
  std::set<std::string> seen;
  for (int e : {ENOENT, EACCES, EBUSY, EIO, ENXIO, ECONNREFUSED, ETIMEDOUT, EINVAL}) {
    std::string text = DeviceErrorText(e);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find("Systemfeil"), std::string::npos) << e;
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 8u);
  EXPECT_EQ(DeviceErrorText(EIO), L1("I/O-feil på linjen"));
  EXPECT_EQ(DeviceErrorText(0), "");
  EXPECT_EQ(DeviceErrorText(EDOM).rfind("Systemfeil 33: ", 0), 0u);
}

TEST(PortNames, DeviceForPort) {
  struct Case {
    const char* port;
    const char* enhet;
    const char* device;
  } cases[] = {
      {"COM1", "", "/dev/ttyS0"},
      {"com3", "", "/dev/ttyS2"},
      {"COM10", "", "/dev/ttyS9"},
      {"COM1", "/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"COM2", " tcp:10.0.0.5:4001 ", "tcp:10.0.0.5:4001"},
      {"COM0", "", "COM0"},
      {"COMX", "", "COMX"},
      {"COM", "", "COM"},
      {"Linje", "", "Linje"},
      {"/dev/pts/4", "", "/dev/pts/4"},
  };
  for (const auto& c : cases) EXPECT_EQ(DeviceForPort(c.port, c.enhet), c.device) << c.port;
}

TEST(PortNames, ParseTcpAddress) {
  struct Case {
    const char* text;
    bool ok;
    const char* host;
    uint16_t port;
  } cases[] = {
      {"tcp:10.0.0.5:4001", true, "10.0.0.5", 4001},
      {"TCP:server.local:23", true, "server.local", 23},
      {"tcp:[::1]:7000", true, "::1", 7000},
      {"tcp:host:0", false, "", 0},
      {"tcp:host:65536", false, "", 0},
      {"tcp:host:", false, "", 0},
      {"tcp::4001", false, "", 0},
      {"tcp:host:40a1", false, "", 0},
      {"tcp:[::1]7000", false, "", 0},
      {"tcp:[::1", false, "", 0},
      {"udp:host:1", false, "", 0},
      {"tcp", false, "", 0},
  };
  for (const auto& c : cases) {
    std::string host;
    uint16_t port = 0;
    EXPECT_EQ(ParseTcpAddress(c.text, host, port), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(host, c.host);
      EXPECT_EQ(port, c.port);
    }
  }
}

// --- pseudo-terminals ---

class PtyDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok()) << "posix_openpt failed";
    int err = 0;
    dev = TermiosDevice::Open(pty.SlavePath(), err);
    ASSERT_TRUE(dev) << DeviceErrorText(err);
    ASSERT_TRUE(dev->Configure(LineSettings{}, err));
  }
  test::PtyPair pty;
  std::unique_ptr<TermiosDevice> dev;
};

TEST_F(PtyDevice, OneSystemCallTakesEverythingWaiting) {
  pty.Send(std::string(300, 'A') + "B");
  uint8_t b = 0;
  ASSERT_EQ(dev->ReadByte(b, 1000).count, 1u);
  EXPECT_EQ(b, 'A');
  EXPECT_EQ(dev->Buffered(), 300u);
  uint8_t buf[400];
  EXPECT_EQ(dev->Read(buf, sizeof buf, 0).count, 300u);
  EXPECT_EQ(buf[299], 'B');
}

TEST_F(PtyDevice, ReadTimesOutAndThenSeesAHangup) {
  uint8_t b;
  IoResult r = dev->ReadByte(b, 20);
  EXPECT_TRUE(r.timedOut);
  EXPECT_TRUE(r.Ok());
  pty.Send("X");
  ASSERT_EQ(dev->ReadByte(b, 200).count, 1u);
  pty.CloseMaster();
  r = dev->ReadByte(b, 200);
  EXPECT_EQ(r.count, 0u);
  EXPECT_TRUE(r.hangup);
}

TEST_F(PtyDevice, AWakeCutsTheWaitShortButBytesComeFirst) {
  // A driver waiting on an idle line is woken for an operator's order; a
  // wait that is not cut short would take a minute here.
  const int wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  ASSERT_GE(wake, 0);
  dev->SetWakeFd(wake);
  const uint64_t one = 1;
  ASSERT_EQ(::write(wake, &one, sizeof one), 8);
  uint8_t b = 0;
  IoResult r = dev->ReadByte(b, 60000);
  EXPECT_TRUE(r.woken && r.timedOut && r.Ok());
  EXPECT_EQ(r.count, 0u);

  // The wake is taken once; bytes that came with a wake are read.
  ASSERT_EQ(::write(wake, &one, sizeof one), 8);
  pty.Send("Z");
  r = dev->ReadByte(b, 60000);
  ASSERT_EQ(r.count, 1u);
  EXPECT_EQ(b, 'Z');
  r = dev->ReadByte(b, 20);
  EXPECT_TRUE(r.timedOut);
  EXPECT_FALSE(r.woken) << "the wake went with the byte";
  ::close(wake);
}

TEST_F(PtyDevice, BytesPassUnchanged) {
  std::string all;
  for (int i = 0; i < 256; ++i)
    if (i != 17 && i != 19) all += static_cast<char>(i);
  auto w = dev->Write(reinterpret_cast<const uint8_t*>(all.data()), all.size(), 1000);
  EXPECT_EQ(w.count, all.size());
  EXPECT_EQ(pty.Receive(all.size()), all);
  pty.Send(all);
  std::string got;
  uint8_t buf[512];
  while (got.size() < all.size()) {
    auto r = dev->Read(buf, sizeof buf, 1000);
    if (r.count == 0) break;
    got.append(reinterpret_cast<char*>(buf), r.count);
  }
  EXPECT_EQ(got, all);
}

TEST_F(PtyDevice, XoffHoldsOutputUntilXon) {
  int err;
  LineSettings s;
  s.xonXoffOut = true;
  ASSERT_TRUE(dev->Configure(s, err));
  pty.Send("\x13");
  std::atomic<size_t> drained{0};
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    while (!stop) drained += pty.Receive(1 << 20, 20).size();
  });
  std::string big(256 * 1024, 'x');
  auto r = dev->Write(reinterpret_cast<const uint8_t*>(big.data()), big.size(), 100);
  EXPECT_TRUE(r.timedOut);
  EXPECT_LT(r.count, big.size() / 4);
  pty.Send("\x11");
  auto rest = dev->Write(reinterpret_cast<const uint8_t*>(big.data()), big.size() - r.count, 5000);
  EXPECT_EQ(rest.count, big.size() - r.count);
  stop = true;
  reader.join();
  uint8_t b;
  EXPECT_TRUE(dev->ReadByte(b, 0).timedOut) << "XON and XOFF are consumed by the kernel";
}

TEST_F(PtyDevice, HonestAboutWhatAPtyLacks) {
  int err;
  LineSettings s;
  s.parity = Parity::Even;
  s.dataBits = 7;
  EXPECT_TRUE(dev->Configure(s, err));
  EXPECT_EQ(dev->Applied().parity, Parity::None);
  EXPECT_EQ(dev->Applied().dataBits, 8);
  EXPECT_FALSE(dev->GetModemStatus().has_value());
  EXPECT_FALSE(dev->SetDtr(false));
  EXPECT_TRUE(dev->Purge(true, true));
}

TEST(TermiosOpen, Failures) {
  int err = 0;
  EXPECT_FALSE(TermiosDevice::Open("/nonexistent/ttyZ9", err));
  EXPECT_EQ(err, ENOENT);
  test::TempDir dir;
  test::WriteFile(dir / "plain", "x");
  EXPECT_FALSE(TermiosDevice::Open(dir / "plain", err));
  EXPECT_EQ(err, ENOTTY);
}

TEST(TermiosOpen, NoSharingOfALine) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  int err = 0;
  auto first = TermiosDevice::Open(pty.SlavePath(), err);
  ASSERT_TRUE(first);
  auto second = TermiosDevice::Open(pty.SlavePath(), err);
  if (geteuid() != 0) {
    EXPECT_FALSE(second);
    EXPECT_EQ(err, EBUSY);
  }
}

// --- loopback ---

IoResult WriteText(SerialDevice& d, const std::string& s, int timeoutMs = 100) {
  return d.Write(reinterpret_cast<const uint8_t*>(s.data()), s.size(), timeoutMs);
}

std::string ReadAll(SerialDevice& d, int timeoutMs = 0) {
  std::string out;
  uint8_t buf[256];
  for (;;) {
    auto r = d.Read(buf, sizeof buf, timeoutMs);
    if (r.count == 0) return out;
    out.append(reinterpret_cast<char*>(buf), r.count);
  }
}

TEST(Loopback, ModemLinesCrossOver) {
  LoopbackPair p;
  auto m = p.a->GetModemStatus();
  ASSERT_TRUE(m);
  EXPECT_TRUE(m->cts && m->dsr && m->dcd);
  p.b->SetRts(false);
  EXPECT_FALSE(p.a->GetModemStatus()->cts);
  EXPECT_TRUE(p.a->GetModemStatus()->dsr);
  p.b->SetDtr(false);
  EXPECT_FALSE(p.a->GetModemStatus()->dsr);
  EXPECT_FALSE(p.a->GetModemStatus()->dcd);
  p.a->SetRing(true);
  EXPECT_TRUE(p.a->GetModemStatus()->ring);
  EXPECT_FALSE(p.b->GetModemStatus()->ring);
}

TEST(Loopback, HardwareFlowHoldsTheWriter) {
  struct Case {
    bool rtsCts, dtrDsr, dropRts, dropDtr, held;
  } cases[] = {
      {true, false, true, false, true},  {true, false, false, true, false},
      {false, true, false, true, true},  {false, true, true, false, false},
      {false, false, true, true, false}, {true, true, false, true, true},
  };
  for (const auto& c : cases) {
    LoopbackPair p;
    LineSettings s;
    s.rtsCts = c.rtsCts;
    s.dtrDsr = c.dtrDsr;
    int err;
    p.a->Configure(s, err);
    p.b->SetRts(!c.dropRts);
    p.b->SetDtr(!c.dropDtr);
    auto r = WriteText(*p.a, "abc", 10);
    EXPECT_EQ(r.count, c.held ? 0u : 3u) << c.rtsCts << c.dtrDsr << c.dropRts << c.dropDtr;
    EXPECT_EQ(r.timedOut, c.held);
  }
}

TEST(Loopback, RaisedLineReleasesAHeldWriter) {
  LoopbackPair p;
  LineSettings s;
  s.rtsCts = true;
  int err;
  p.a->Configure(s, err);
  p.b->SetRts(false);
  std::thread raise([&] { p.b->SetRts(true); });
  auto r = WriteText(*p.a, "go", 2000);
  raise.join();
  EXPECT_EQ(r.count, 2u);
  EXPECT_EQ(ReadAll(*p.b), "go");
}

TEST(Loopback, SoftwareFlowConsumesXonXoff) {
  LoopbackPair p;
  LineSettings s;
  s.xonXoffOut = true;
  int err;
  p.a->Configure(s, err);
  WriteText(*p.b, "\x13");
  EXPECT_TRUE(p.a->OutputStopped());
  EXPECT_EQ(ReadAll(*p.a), "") << "the XOFF is the kernel's, not the driver's";
  EXPECT_TRUE(WriteText(*p.a, "x", 10).timedOut);
  EXPECT_TRUE(p.a->ResumeOutput());
  EXPECT_EQ(WriteText(*p.a, "x").count, 1u);
  WriteText(*p.b, "\x13");
  WriteText(*p.b,
            "\x11"
            "A");
  EXPECT_EQ(WriteText(*p.a, "y").count, 1u);
  EXPECT_EQ(ReadAll(*p.a), "A");
  // Without software flow the bytes are data.
  EXPECT_EQ(WriteText(*p.a, "\x13").count, 1u);
  EXPECT_FALSE(p.b->OutputStopped());
  EXPECT_EQ(ReadAll(*p.b), "xy\x13");
}

TEST(Loopback, FullInputSendsXoffThenXon) {
  LoopbackPair p("loop", 16);
  LineSettings in, out;
  in.xonXoffIn = true;
  out.xonXoffOut = true;
  int err;
  p.b->Configure(in, err);
  p.a->Configure(out, err);
  auto r = WriteText(*p.a, std::string(40, 'z'), 10);
  EXPECT_EQ(r.count, 13u) << "stopped just past three quarters";
  EXPECT_TRUE(p.a->OutputStopped());
  EXPECT_EQ(ReadAll(*p.b).size(), 13u);
  EXPECT_FALSE(p.a->OutputStopped());
}

TEST(Loopback, BreakErrorsAndFailures) {
  LoopbackPair p;
  p.a->SetBreak(true);
  p.a->SetBreak(false);
  EXPECT_EQ(p.b->GetLineErrors()->brk, 1u);
  EXPECT_EQ(ReadAll(*p.b), std::string(1, '\0'));
  p.b->InjectLineError(LoopbackDevice::LineError::Frame);
  p.b->InjectLineError(LoopbackDevice::LineError::Overrun);
  p.b->InjectParityByte(0xC1);
  auto e = p.b->GetLineErrors();
  EXPECT_EQ(e->frame, 1u);
  EXPECT_EQ(e->overrun, 1u);
  EXPECT_EQ(e->parity, 1u);
  EXPECT_EQ(ReadAll(*p.b), "\xC1");
  p.b->FailWith(EIO);
  uint8_t c;
  EXPECT_EQ(p.b->ReadByte(c, 10).err, EIO);
  EXPECT_EQ(WriteText(*p.b, "a").err, EIO);
  int err = 0;
  EXPECT_FALSE(p.b->Configure(LineSettings{}, err));
  EXPECT_EQ(err, EIO);
}

TEST(Loopback, CloseIsAHangupAfterTheRest) {
  LoopbackPair p;
  WriteText(*p.a, "end");
  p.a->Close();
  EXPECT_EQ(ReadAll(*p.b), "end");
  uint8_t c;
  EXPECT_TRUE(p.b->ReadByte(c, 10).hangup);
  EXPECT_TRUE(WriteText(*p.b, "x").hangup);
  EXPECT_FALSE(p.b->GetModemStatus()->cts);
}

TEST(Loopback, StripNul) {
  LoopbackPair p;
  LineSettings s;
  s.stripNul = true;
  int err;
  p.b->Configure(s, err);
  WriteText(*p.a, std::string("\0\0A\0B", 5));
  EXPECT_EQ(ReadAll(*p.b), "AB");
  WriteText(*p.a, std::string(3, '\0'));
  uint8_t c;
  EXPECT_TRUE(p.b->ReadByte(c, 0).timedOut);
}

// --- TCP ---

class Listener {
 public:
  Listener() {
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
  ~Listener() { ::close(fd_); }
  int Accept() { return ::accept(fd_, nullptr, nullptr); }
  std::string Address() const { return "tcp:127.0.0.1:" + std::to_string(port_); }

 private:
  int fd_;
  uint16_t port_ = 0;
};

TEST(Tcp, ExchangesAndReconnectsAfterTheServerDrops) {
  Listener server;
  int err = 0;
  auto dev = TcpDevice::Open(server.Address(), err);
  ASSERT_TRUE(dev) << DeviceErrorText(err);
  dev->SetReconnectGap(0);
  int conn = server.Accept();
  ASSERT_GE(conn, 0);
  ASSERT_EQ(::write(conn, "%O1\n", 4), 4);
  uint8_t in[4];
  EXPECT_EQ(dev->Read(in, 4, 1000).count, 4u);
  EXPECT_EQ(WriteText(*dev, "ok").count, 2u);
  char buf[8];
  EXPECT_EQ(::read(conn, buf, sizeof buf), 2);
  ::close(conn);
  uint8_t c;
  EXPECT_TRUE(dev->ReadByte(c, 1000).hangup);
  EXPECT_FALSE(dev->Connected());
  // The next call connects again.
  std::thread accept([&] { conn = server.Accept(); });
  IoResult r = dev->ReadByte(c, 50);
  accept.join();
  EXPECT_TRUE(r.timedOut) << DeviceErrorText(r.err);
  EXPECT_TRUE(dev->Connected());
  ASSERT_EQ(::write(conn, "Z", 1), 1);
  EXPECT_EQ(dev->ReadByte(c, 1000).count, 1u);
  EXPECT_EQ(c, 'Z');
  ::close(conn);
  EXPECT_FALSE(dev->GetModemStatus());
  EXPECT_FALSE(dev->SetBreak(true));
}

TEST(Tcp, RefusedAndBadAddresses) {
  int port;
  {
    Listener gone;
    port = std::stoi(gone.Address().substr(14));
  }
  int err = 0;
  EXPECT_FALSE(TcpDevice::Open("tcp:127.0.0.1:" + std::to_string(port), err));
  EXPECT_EQ(err, ECONNREFUSED);
  EXPECT_FALSE(TcpDevice::Open("tcp:nohost", err));
  EXPECT_EQ(err, EINVAL);
}

// --- opening by port name ---

// What a driver opens for a port: its section's Enhet through the settings.
std::unique_ptr<SerialDevice> OpenPortDevice(const std::string& port, int& err) {
  const PortSettings s = ReadPortSettings(IniSection(port), "", false);
  return OpenDeviceByName(DeviceForPort(port, s.Enhet), err);
}

TEST(OpenPortDevice, FollowsEnhet) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  test::ScopedIni ini("[COM7]\nEnhet=" + pty.SlavePath() + "\n[COM8]\nEnhet=loop:cable\n" +
                      "[COM9]\nEnhet=/nonexistent/tty\n");
  int err = 0;
  auto d7 = OpenPortDevice("COM7", err);
  ASSERT_TRUE(d7) << DeviceErrorText(err);
  EXPECT_EQ(d7->Name(), pty.SlavePath());
  LoopbackPair cable("cable");
  ParkLoopbackEnd("cable", std::move(cable.b));
  auto d8 = OpenPortDevice("COM8", err);
  ASSERT_TRUE(d8);
  EXPECT_EQ(WriteText(*cable.a, "hi").count, 2u);
  EXPECT_EQ(ReadAll(*d8), "hi");
  EXPECT_FALSE(OpenPortDevice("COM8", err)) << "a parked end is taken once";
  EXPECT_FALSE(OpenPortDevice("COM9", err));
  EXPECT_EQ(err, ENOENT);
}

}  // namespace
}  // namespace zova
