// The simulated Siemens control on a pseudo-terminal: the archive it punches
// and the arrival times it notes for what the station sends.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "sim/control_on_pty.h"
#include "support/test_support.h"

namespace zova::sim {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct SiemensControlTest : ControlOnPty {
  SiemensControlTest() : ControlOnPty("siemens") {}
  TempDir dir;
};

TEST_F(SiemensControlTest, PunchesLeaderArchiveAndEndCharacter) {
  const std::string archive = "%_N_A_MPF\nM30\n%_N_B_MPF\nM30\n";
  WriteFile(dir / "a.arc", archive);
  std::string error;
  ASSERT_TRUE(Run("siemens-send " + (dir / "a.arc") + " --leader 3 --end [EOT]", error)) << error;
  const std::string want = std::string(3, '\0') + archive + "\x04";
  EXPECT_EQ(Take(want.size()), want);
}

std::vector<double> Times(const std::string& path) {
  std::vector<double> t;
  std::ifstream in(path);
  for (double ms; in >> ms;) t.push_back(ms);
  return t;
}

TEST_F(SiemensControlTest, NotesWhenEachByteCameAndEndsAtTheEndCharacter) {
  std::thread station([this] {
    Send("%_N_A\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Send(
        "%_N_B\n\x04"
        "after");
  });
  std::string error;
  const bool ok = Run("siemens-receive " + (dir / "got") + " --times " + (dir / "times") +
                          " --until [EOT] --quiet 2000",
                      error);
  station.join();
  ASSERT_TRUE(ok) << error;
  EXPECT_EQ(ReadFile(dir / "got"), "%_N_A\n%_N_B\n\x04");
  const std::vector<double> t = Times(dir / "times");
  ASSERT_EQ(t.size(), 13u);
  EXPECT_EQ(t[0], 0.0);
  // The control may start reading late, never early.
  EXPECT_GE(t[6] - t[5], 150.0) << "the pause before the second program";
}

}  // namespace
}  // namespace zova::sim
