// The RFC 2217 device end to end through ser2net, serving one end of a
// pseudo-terminal pair whose other end plays the control. On a pty the baud
// rate, stop bits and RTS/CTS of what ser2net sets can be read back with
// tcgetattr; data bits and parity cannot (the kernel forces CS8 and clears
// PARENB on a pty), so for those ser2net's answers are all there is.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "pty_pair.h"
#include "ser2net_server.h"
#include "serial/device/rfc2217_device.h"

namespace zova {
namespace {

using test::Ser2net;

// Polls Done for up to 3 s: ser2net applies what it is sent in its own time.
bool Eventually(const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::unique_ptr<Rfc2217Device> OpenThrough(const Ser2net& server) {
  int err = 0;
  auto dev = Rfc2217Device::Open(server.Address(), err);
  EXPECT_TRUE(dev) << DeviceErrorText(err);
  if (dev) dev->SetReconnectGap(0);
  return dev;
}

std::string ReadBytes(SerialDevice& d, size_t want) {
  std::string out;
  uint8_t buf[4096];
  while (out.size() < want) {
    IoResult r = d.Read(buf, sizeof buf, 2000);
    if (r.count == 0) break;
    out.append(reinterpret_cast<char*>(buf), r.count);
  }
  return out;
}

// The control's end and ser2net in RFC 2217 mode on the other. The test
// keeps the tty ser2net opens open itself, to read its settings.
class ThroughSer2net : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.Ok());
    ASSERT_FALSE(Ser2net::Program().empty())
        << "ser2net is not installed: these tests need the Debian package ser2net";
    line_ = ::open(pty_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(line_, 0);
    server_ = std::make_unique<Ser2net>(pty_.SlavePath(), Ser2net::Mode::Rfc2217);
    ASSERT_EQ(server_->Error(), "");
    dev_ = OpenThrough(*server_);
    ASSERT_TRUE(dev_);
  }
  void TearDown() override {
    dev_.reset();
    server_.reset();
    if (line_ >= 0) ::close(line_);
  }
  termios Line() const {
    termios t{};
    ::tcgetattr(line_, &t);
    return t;
  }
  void Configure(int baud, int stopBits, bool rtsCts) {
    LineSettings s;
    s.baud = baud;
    s.stopBits = stopBits;
    s.rtsCts = rtsCts;
    int err;
    ASSERT_TRUE(dev_->Configure(s, err));
  }
  bool LineIs(speed_t speed, bool twoStop, bool rtsCts) const {
    termios t = Line();
    return cfgetospeed(&t) == speed && bool(t.c_cflag & CSTOPB) == twoStop &&
           bool(t.c_cflag & CRTSCTS) == rtsCts;
  }

  test::PtyPair pty_;
  int line_ = -1;
  std::unique_ptr<Ser2net> server_;
  std::unique_ptr<Rfc2217Device> dev_;
};

TEST_F(ThroughSer2net, EveryByteValuePassesBothWaysUnchanged) {
  Configure(9600, 1, false);
  std::string all;
  for (int round = 0; round < 4; ++round)
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  IoResult w = dev_->Write(reinterpret_cast<const uint8_t*>(all.data()), all.size(), 2000);
  EXPECT_EQ(w.count, all.size());
  EXPECT_EQ(pty_.Receive(all.size()), all) << "station to control";
  pty_.Send(all);
  EXPECT_EQ(ReadBytes(*dev_, all.size()), all) << "control to station";
}

TEST_F(ThroughSer2net, SettingsReachTheLineAndAreSentAgainAfterAReconnect) {
  Configure(115200, 2, true);
  EXPECT_TRUE(Eventually([&] { return LineIs(B115200, true, true); })) << "speed " << [&] {
    termios t = Line();
    return cfgetospeed(&t);
  }();
  uint8_t c;
  EXPECT_TRUE(Eventually([&] {
    dev_->ReadByte(c, 5);
    return dev_->ReportedBaud() == 115200;
  })) << "ser2net answers SET-BAUDRATE with the rate it set";

  Configure(2400, 1, false);
  EXPECT_TRUE(Eventually([&] { return LineIs(B2400, false, false); }));

  // A new ser2net on the same port knows nothing of the last connection; the
  // line is set to something else meanwhile, so only a resend brings 2400.
  uint16_t port = server_->Port();
  server_.reset();
  EXPECT_TRUE(dev_->ReadByte(c, 2000).hangup);
  termios t = Line();
  cfsetspeed(&t, B4800);
  ASSERT_EQ(::tcsetattr(line_, TCSANOW, &t), 0);
  server_ = std::make_unique<Ser2net>(pty_.SlavePath(), Ser2net::Mode::Rfc2217, port);
  ASSERT_EQ(server_->Error(), "");
  EXPECT_TRUE(dev_->ReadByte(c, 20).timedOut) << "reconnects";
  EXPECT_TRUE(dev_->Connected());
  EXPECT_TRUE(Eventually([&] { return LineIs(B2400, false, false); })) << "speed " << [&] {
    termios t = Line();
    return cfgetospeed(&t);
  }();
  EXPECT_EQ(dev_->Write(reinterpret_cast<const uint8_t*>("\xFF"), 1, 1000).count, 1u);
  EXPECT_EQ(pty_.Receive(1), "\xFF");
}

}  // namespace
}  // namespace zova
