// The station binary with its window on a real X server (Xvfb), and without
// any display, where it must fall back to the headless front end.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "e2e/support/process.h"
#include "support/test_support.h"

namespace zova::test {
namespace {

struct Frontends : ::testing::Test {
  TempDir dir;
  std::string ini = dir / "Zova.ini";
  Frontends() {
    WriteFile(ini, "[Program]\r\nMaskiner=2\r\nTemp=" + dir.Path() +
                       "\r\n[Maskin1]\r\nProtokoll=Ingen\r\n[Maskin2]\r\nProtokoll=Ingen\r\n");
  }
  // An X display, or none at all when Display is empty.
  std::vector<std::string> Env(const std::string& display) {
    return {"DISPLAY=" + display,
            "WAYLAND_DISPLAY=", display.empty() ? "QT_QPA_PLATFORM=" : "QT_QPA_PLATFORM=xcb",
            "XDG_RUNTIME_DIR=" + dir.Path(), "ZOVA_SYSTEM_REGISTRY=" + (dir / "sys.ini"),
            "ZOVA_USER_REGISTRY=" + (dir / "user.ini"),
            // What Qt and the X libraries keep until exit is not the station's.
            "ASAN_OPTIONS=detect_leaks=0"};
  }
  std::string SocketPath() { return dir / ("zova-" + std::to_string(getuid()) + ".sock"); }
};

TEST_F(Frontends, WithoutADisplayTheStationRunsHeadless) {
  Process zova({ZOVA_EXE, ini}, Env(""));
  EXPECT_EQ(zova.WaitForLine("2 Status:"), "2 Status: Maskin ikke aktiv");
  zova.Signal(SIGTERM);
  EXPECT_EQ(zova.Wait(), 0);
}

#ifdef ZOVA_WITH_QT
TEST_F(Frontends, OnAnXServerTheWindowOpensComesForwardAndClosesOnSignal) {
  // Xvfb picks a free display and writes its number on standard output.
  Process xvfb(
      {"/usr/bin/Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
  std::string display = xvfb.WaitForLine("");
  ASSERT_FALSE(display.empty()) << xvfb.Stderr();
  std::vector<std::string> env = Env(":" + display);
  Process zova({ZOVA_EXE, ini}, env);
  // The window front end listens for a second start once its window exists.
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!Exists(SocketPath()) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(Exists(SocketPath())) << zova.Stderr();
  Process second({ZOVA_EXE, ini}, env);
  EXPECT_EQ(second.Wait(), 0);
  EXPECT_TRUE(second.Lines().empty());
  zova.Signal(SIGTERM);
  EXPECT_EQ(zova.Wait(), 0);
  EXPECT_TRUE(zova.Lines().empty()) << "grid lines belong to the headless front end";
  EXPECT_EQ(zova.Stderr().find("qt.qpa"), std::string::npos) << zova.Stderr();
  xvfb.Signal(SIGTERM);
  xvfb.Wait();
}

TEST_F(Frontends, AStopSignalClosesABoxThatIsOpenAndEndsTheStation) {
  // An unknown protocol raises a notice box at start; nobody is there to
  // press OK, as with a service stop or a logout.
  WriteFile(ini, "[Program]\r\nMaskiner=2\r\nTemp=" + dir.Path() +
                     "\r\n[Maskin1]\r\nProtokoll=TULL\r\n[Maskin2]\r\nProtokoll=Ingen\r\n");
  Process xvfb(
      {"/usr/bin/Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
  std::string display = xvfb.WaitForLine("");
  ASSERT_FALSE(display.empty()) << xvfb.Stderr();
  Process zova({ZOVA_EXE, ini}, Env(":" + display));
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!Exists(SocketPath()) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(Exists(SocketPath())) << zova.Stderr();
  // The box opens right after the listener; give it the moment it needs.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  zova.Signal(SIGTERM);
  EXPECT_EQ(zova.Wait(), 0) << zova.Stderr();
  EXPECT_NE(zova.Stderr().find("Ugyldig protokoll: TULL"), std::string::npos)
      << "the box closed by the stop is logged: " << zova.Stderr();
  xvfb.Signal(SIGTERM);
  xvfb.Wait();
}
#endif

}  // namespace
}  // namespace zova::test
