// The simulated Hybrid control on a pseudo-terminal: the menu it works and
// its lines going up and coming down, each after a ">".

#include <gtest/gtest.h>

#include <thread>

#include "sim/control_on_pty.h"
#include "support/test_support.h"

namespace zova::sim {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct HybridControlTest : ControlOnPty {
  HybridControlTest() : ControlOnPty("hybrid") {}
  TempDir dir;
};

TEST_F(HybridControlTest, ChoosesFromTheMenuAndChecksTheAnswer) {
  Send("\r\nDownload Part # \x03");
  std::string error;
  ASSERT_TRUE(Run("hybrid-choose S --timeout 2000", error)) << error;
  EXPECT_EQ(Take(2), "!S");
  Send("\r\nError # \x03");
  EXPECT_FALSE(Run("hybrid-choose R --timeout 300", error));
  EXPECT_NE(error.find("Upload Part [35] [ETX] did not come"), std::string::npos) << error;
}

TEST_F(HybridControlTest, DownloadAsksForEveryLineAndOnceMore) {
  // Everything the station will answer is there already: the control still
  // takes it line by line, one ">" a line.
  Send("\r\nReady To Send*N1\r\nN2\r\n");
  std::string error;
  ASSERT_TRUE(Run("hybrid-download " + (dir / "got") + " --timeout 2000 --quiet 200", error))
      << error;
  EXPECT_EQ(ReadFile(dir / "got"), "N1\r\nN2\r\n");
  EXPECT_EQ(Take(4, 200), ">>>") << "two lines and the question after the last";
}

TEST_F(HybridControlTest, UploadSendsEachLineOnlyAfterItsPrompt) {
  WriteFile(dir / "up.nc", "N1\r\nN2\n");
  std::string error;
  bool ok = false;
  std::thread control(
      [&] { ok = Run("hybrid-upload " + (dir / "up.nc") + " --timeout 5000", error); });
  Send("\r\nReady To Receive*>");
  EXPECT_EQ(Take(4), "N1\r\n");
  EXPECT_EQ(Take(1, 200), "") << "the next line waits for its prompt";
  Send(">");
  EXPECT_EQ(Take(4), "N2\r\n");
  Send(">");
  EXPECT_EQ(Take(1), "\x1a");
  control.join();
  EXPECT_TRUE(ok) << error;
}

}  // namespace
}  // namespace zova::sim
