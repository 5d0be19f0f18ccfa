// The simulated Heidenhain control in process, over a pseudo-terminal whose
// other end the test holds as the station: its blocks byte for byte, as the
// wire rule makes them, and its answers to the station's.

#include "controls/heidenhain_control.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/test_support.h"

namespace zova::sim {
namespace {

class HeidenhainControlLine : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(line.OpenPty(error)) << error;
    line.SetLinger(0);
    station = ::open(line.StationPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(station, 0);
  }
  void TearDown() override { ::close(station); }
  void Send(const std::string& s) {
    ASSERT_EQ(::write(station, s.data(), s.size()), static_cast<ssize_t>(s.size()));
  }
  std::string Taken() {
    std::string got;
    char buf[512];
    for (ssize_t r; (r = ::read(station, buf, sizeof buf)) > 0;)
      got.append(buf, static_cast<size_t>(r));
    return got;
  }
  bool Run(const std::string& text, std::string& error) {
    SimCommand cmd;
    return control.Parse(text, 1, cmd, error) && control.Run(cmd, error);
  }

  SimLine line;
  HeidenhainControl control{line, {}};
  test::TempDir dir;
  int station = -1;
};

TEST_F(HeidenhainControlLine, SavedProgramGoesOutInBlocksWithTheirChecks) {
  test::WriteFile(dir / "p.h", "0 BEGIN PGM 1 MM\r\n1 L X+10 R0 FMAX\r\nL X+1 \r\n");
  Send("\x06\x06\x06\x15\x06");
  std::string error;
  ASSERT_TRUE(Run("hh-save " + (dir / "p.h") + " --name P1 --timeout 2000", error)) << error;
  // A blank is added where the check would be 0x09, one is removed where it
  // would be 0x1B; a refused block goes again.
  EXPECT_EQ(Taken(),
            "\x01HP1A\x17~"
            "\x02"
            "0 BEGIN PGM 1 MM \x17)"
            "\x02"
            "1 L X+10 R0 FMAX\x17j"
            "\x02L X+1\x17;"
            "\x02L X+1\x17;"
            "\x03\x04");
}

TEST_F(HeidenhainControlLine, LoadedProgramIsAcknowledgedAndLosesOneTrailingBlank) {
  // The second block is refused once and comes again.
  Send(
      "\x06\x02"
      "0 BEGIN PGM 1 MM \x17)\x02L X+1\x17;\x02L X+1\x17;\x03");
  std::string error;
  ASSERT_TRUE(Run("hh-load " + (dir / "got.h") + " --name P1 --nak 2 --timeout 2000", error))
      << error;
  EXPECT_EQ(Taken(), "\x01HP1E\x17z\x06\x15\x06\x04");
  EXPECT_EQ(test::ReadFile(dir / "got.h"), "0 BEGIN PGM 1 MM\r\nL X+1\r\n");
  Send("\x06\x02L X+1\x17:");
  EXPECT_FALSE(Run("hh-load " + (dir / "bad.h") + " --name P1 --timeout 500", error));
  EXPECT_EQ(error, "hh-load: block 1 has a wrong check: L X+1");
}

}  // namespace
}  // namespace zova::sim
