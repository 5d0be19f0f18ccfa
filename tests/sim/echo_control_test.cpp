// The echo control's dialogue over a pseudo-terminal whose other end the
// test holds as the station: a program taken with an echo of every byte (one
// echoed wrong, one lost), a program sent that waits for each echo, and what
// it reports when the station's echo is wrong or missing.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <future>
#include <string>

#include "controls/control_registry.h"
#include "support/test_support.h"

namespace zova::sim {
namespace {

class EchoControlLine : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(line.OpenPty(error)) << error;
    line.SetLinger(0);
    station = ::open(line.StationPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(station, 0);
    control = MakeControl("echo", line, {});
    ASSERT_TRUE(control);
  }
  void TearDown() override {
    if (station >= 0) ::close(station);
  }
  // Runs the command on the control's own thread, as cncsim runs it while
  // the station talks.
  std::future<std::string> Start(const std::string& text) {
    return std::async(std::launch::async, [this, text] {
      SimCommand cmd;
      std::string error;
      if (control->Parse(text, 1, cmd, error) && control->Run(cmd, error)) return std::string();
      return error.empty() ? std::string("failed") : error;
    });
  }
  void Put(char c) { ASSERT_EQ(::write(station, &c, 1), 1); }
  // The next byte within TimeoutMs; -1 when none came.
  int Take(int timeoutMs = 5000) {
    pollfd p{station, POLLIN, 0};
    unsigned char c = 0;
    if (::poll(&p, 1, timeoutMs) != 1 || ::read(station, &c, 1) != 1) return -1;
    return c;
  }

  test::TempDir dir;
  SimLine line;
  std::unique_ptr<SimControl> control;
  int station = -1;
};

TEST_F(EchoControlLine, ReceivingEchoesEachByteOneWrongAndOneLost) {
  const std::string file = dir / "got.nc";
  auto done = Start("echo-receive " + file + " --ask A --until % --wrong-at 3 --silent-at 5");
  EXPECT_EQ(Take(), 'A') << "the request goes first";
  const struct {
    char sent;
    int echo;
  } steps[] = {{'%', '%'}, {'G', 'G'}, {'1', '?'}, {'X', 'X'}, {'Y', -1}, {'Y', 'Y'}, {'%', '%'}};
  for (const auto& s : steps) {
    Put(s.sent);
    EXPECT_EQ(Take(s.echo < 0 ? 300 : 5000), s.echo) << "after " << s.sent;
  }
  EXPECT_EQ(done.get(), "");
  EXPECT_EQ(test::ReadFile(file), "%G1XY%") << "the lost byte is not kept, its repeat is";
}

TEST_F(EchoControlLine, ReceivingEndsAtTheStopCodesOnlyAfterOtherBytes) {
  const std::string file = dir / "got.nc";
  auto done = Start("echo-receive " + file + " --until % --quiet 300");
  for (char c : std::string("%A%")) {
    Put(c);
    EXPECT_EQ(Take(), c);
  }
  EXPECT_EQ(done.get(), "");
  EXPECT_EQ(test::ReadFile(file), "%A%");
  auto nothing = Start("echo-receive " + file + " --first 100");
  EXPECT_EQ(nothing.get(), "echo-receive: nothing received");
}

TEST_F(EchoControlLine, SendingWaitsForEachEcho) {
  test::WriteFile(dir / "p.nc", "G1\n");
  auto done = Start("echo-send " + (dir / "p.nc") + " --start [NUL]% --stop %");
  std::string line;
  for (int i = 0; i < 6; ++i) {
    const int c = Take();
    ASSERT_GE(c, 0) << "byte " << i + 1;
    EXPECT_EQ(Take(100), -1) << "the next byte waits for the echo";
    line += static_cast<char>(c);
    Put(static_cast<char>(c));
  }
  EXPECT_EQ(done.get(), "");
  EXPECT_EQ(line, std::string("\0%G1\n%", 6));
}

TEST_F(EchoControlLine, SendingStopsAtAWrongOrMissingEcho) {
  test::WriteFile(dir / "p.nc", "AB");
  auto wrong = Start("echo-send " + (dir / "p.nc") + " --timeout 2000");
  EXPECT_EQ(Take(), 'A');
  Put('A');
  EXPECT_EQ(Take(), 'B');
  Put('b');
  EXPECT_EQ(wrong.get(), "echo-send: byte 2 (B) came back as b");
  auto missing = Start("echo-send " + (dir / "p.nc") + " --timeout 100");
  EXPECT_EQ(Take(), 'A');
  EXPECT_EQ(missing.get(), "echo-send: no echo for byte 1 (A)");
  EXPECT_EQ(Take(100), -1) << "nothing more after the silence";
}

}  // namespace
}  // namespace zova::sim
