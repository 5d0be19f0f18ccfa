// The Mazatrol and NUM controls' own wire rules, played against a station
// written by hand on the other end of a pseudo-terminal.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <future>
#include <string>

#include "controls/control_registry.h"
#include "controls/mazatrol_control.h"
#include "controls/num_control.h"
#include "support/test_support.h"

namespace zova::sim {
namespace {

using namespace std::string_literals;

TEST(MazatrolNumControls, ChecksAsTheControlsMakeThem) {
  EXPECT_EQ(MazatrolControl::Check("0D05"), "19");
  EXPECT_EQ(MazatrolControl::Check(" "), "F0");
  EXPECT_EQ(NumControl::Check("."), "D1");
  EXPECT_EQ(NumControl::Check(""), "FF");
}

TEST(MazatrolNumControls, ScriptLinesAreCheckedAgainstTheirCommands) {
  const struct {
    const char* control;
    const char* line;
    const char* error;
  } cases[] = {
      {"mazatrol", "maz-offer p.txt --bad-check 2 --expect-silence --answer-timeout 900", ""},
      {"mazatrol", "maz-fetch got.txt --junk-after 1 --section-end-after 2 --one-eot", ""},
      {"mazatrol", "maz-status --text q12", ""},
      {"mazatrol", "maz-graphics", "maz-graphics takes 1 argument(s)"},
      {"num", "num-type 1:0[BS]30[CR]", ""},
      {"num", "num-download got.nc --nak-block 2 --syn-at-end", ""},
      {"num", "num-punch p.nc --always-bad 3 --enq-after 1 --no-eot", ""},
      {"num", "num-punch p.nc --nak 3", "num-punch: unknown option --nak"},
  };
  SimLine line;
  for (const auto& c : cases) {
    auto control = MakeControl(c.control, line, {});
    ASSERT_TRUE(control) << c.control;
    SimCommand cmd;
    std::string error;
    EXPECT_EQ(control->Parse(c.line, 1, cmd, error), *c.error == '\0') << c.line;
    EXPECT_EQ(error, c.error) << c.line;
  }
}

class MazatrolNumLine : public ::testing::Test {
 protected:
  void Open(const char* kind) {
    std::string error;
    ASSERT_TRUE(line.OpenPty(error)) << error;
    line.SetLinger(0);
    station = ::open(line.StationPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(station, 0);
    control = MakeControl(kind, line, {});
  }
  void TearDown() override {
    if (station >= 0) ::close(station);
  }
  void Put(const std::string& s) {
    ASSERT_EQ(::write(station, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }
  // Up to N bytes, waiting at most 5 s for each.
  std::string Take(size_t n) {
    std::string got;
    while (got.size() < n) {
      pollfd p{station, POLLIN, 0};
      if (::poll(&p, 1, 5000) <= 0) break;
      char buf[256];
      const ssize_t r = ::read(station, buf, std::min(sizeof buf, n - got.size()));
      if (r <= 0) break;
      got.append(buf, static_cast<size_t>(r));
    }
    return got;
  }
  std::future<std::string> Start(const std::string& text) {
    return std::async(std::launch::async, [this, text] {
      SimCommand cmd;
      std::string error;
      if (!control->Parse(text, 1, cmd, error)) return "parse: " + error;
      return control->Run(cmd, error) ? std::string("ok") : error;
    });
  }

  test::TempDir dir;
  SimLine line;
  std::unique_ptr<SimControl> control;
  int station = -1;
};

TEST_F(MazatrolNumLine, MazatrolOffersALineAndEndsWithPa) {
  Open("mazatrol");
  test::WriteFile(dir / "p.txt", "0D050000AA\r\np2\r\n");
  auto done = Start("maz-offer " + (dir / "p.txt") + " --timeout 5000");
  const std::string line1 = "p1\x02"s + "0D050000AA" + "\x03" + "3B" + "\x04\x04";
  EXPECT_EQ(Take(line1.size()), line1);
  Put("p0A\x04");
  EXPECT_EQ(Take(4), "p2\x04\x04") << "a tape mark";
  Put("p00\x04");
  EXPECT_EQ(Take(4), "pA\x04\x04");
  EXPECT_EQ(done.get(), "ok");
}

TEST_F(MazatrolNumLine, MazatrolFetchRefusesALineWithAWrongCheck) {
  Open("mazatrol");
  auto done = Start("maz-fetch " + (dir / "got.txt") + " --one-eot --timeout 5000");
  EXPECT_EQ(Take(3), "p4\x04");
  Put("p00\x02"s + "0D05" + "\x03" + "19" + "\x04");
  EXPECT_EQ(Take(3), "p4\x04");
  Put("p00\x02"s + "0D05" + "\x03" + "18" + "\x04");
  EXPECT_NE(done.get().find("has check 18, not 19"), std::string::npos);
}

TEST_F(MazatrolNumLine, NumDownloadAcknowledgesInTurnAndRefusesOnce) {
  Open("num");
  auto done = Start("num-download " + (dir / "got.nc") + " --nak-block 1 --timeout 5000");
  EXPECT_EQ(Take(2), "\x02\r");
  Put("\r");
  const std::string block = "\x02G0\x1DM30" + NumControl::Check("G0\x1DM30") + "\x03\r";
  Put(block);
  EXPECT_EQ(Take(2), "\x15\r") << "the first block refused once";
  Put(block);
  EXPECT_EQ(Take(3), "\x06"s + "0\r");
  Put("\x02.D1\x03\r");
  EXPECT_EQ(Take(3), "\x06"s + "1\r");
  EXPECT_EQ(done.get(), "ok");
  EXPECT_EQ(test::ReadFile(dir / "got.nc"), "G0\r\nM30\r\n");
}

TEST_F(MazatrolNumLine, NumPunchSendsABadCheckOnceThenTheBlockAgain) {
  Open("num");
  test::WriteFile(dir / "p.nc", "G0\r\nM30\r\n");
  auto done = Start("num-punch " + (dir / "p.nc") + " --bad-check 1 --timeout 5000");
  EXPECT_EQ(Take(2), "\x02\r");
  Put("\r\x06"s + "0\r");
  const std::string content = "G0\x1DM30";
  const std::string good = NumControl::Check(content);
  const std::string bad = good == "00" ? "01" : "00";
  EXPECT_EQ(Take(content.size() + 5), "\x02" + content + bad + "\x03\r");
  Put("\x15\r");
  EXPECT_EQ(Take(content.size() + 5), "\x02" + content + good + "\x03\r");
  Put("\x06"s + "1\r");
  EXPECT_EQ(Take(6), "\x02.D1\x03\r");
  Put("\x06"s + "0\r");
  EXPECT_EQ(Take(2), "\x04\r");
  EXPECT_EQ(done.get(), "ok");
}

}  // namespace
}  // namespace zova::sim
