// The station as the package installs and runs it: its log read by the
// journal, and the program in bin/ with its window module in lib/zova/.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "e2e/support/process.h"
#include "support/test_support.h"

namespace zova::test {
namespace {

namespace fs = std::filesystem;

struct Service : ::testing::Test {
  TempDir dir;
  std::string ini = dir / "Zova.ini";
  std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + dir.Path(),
                                  "ZOVA_SYSTEM_REGISTRY=" + (dir / "sys.ini"),
                                  "ZOVA_USER_REGISTRY=" + (dir / "user.ini")};
  Service() {
    WriteFile(ini, "[Program]\r\nMaskiner=2\r\nTemp=" + dir.Path() +
                       "\r\n[Maskin1]\r\nProtokoll=Ingen\r\n[Maskin2]\r\nProtokoll=XYZ\r\n");
  }
  // Runs the station headless until its grid is up, stops it, returns its log.
  std::string RunAndStop(const std::vector<std::string>& argv) {
    Process zova(argv, env);
    EXPECT_NE(zova.WaitForLine("2 Status:"), "") << zova.Stderr();
    zova.Signal(SIGTERM);
    EXPECT_EQ(zova.Wait(), 0);
    return zova.Stderr();
  }
  std::string SocketPath() { return dir / ("zova-" + std::to_string(getuid()) + ".sock"); }
};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Sets JOURNAL_STREAM to the device and inode of the station's own standard
// error, as systemd does for a service whose output goes to the journal.
std::vector<std::string> UnderJournal(const std::string& journalStream) {
  std::string value = journalStream.empty() ? "$(stat -L -c %d:%i /proc/self/fd/2)" : journalStream;
  return {"/bin/sh", "-c",
          "JOURNAL_STREAM=" + value + "; export JOURNAL_STREAM; exec \"$0\" \"$@\"", ZOVA_EXE};
}

TEST_F(Service, OnTheJournalsStreamEachLineCarriesItsPriorityAndNoDate) {
  std::vector<std::string> argv = UnderJournal("");
  argv.insert(argv.end(), {ini, "--headless"});
  std::string log = RunAndStop(argv);
  std::vector<std::string> lines = SplitLines(log);
  ASSERT_FALSE(lines.empty());
  for (const std::string& line : lines)
    EXPECT_TRUE(line.size() > 3 && line[0] == '<' && line[2] == '>') << line;
  EXPECT_NE(log.find("<6>bruker " + ini + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("<4>melding [Maskin2] Ugyldig protokoll: XYZ\n"), std::string::npos) << log;
  EXPECT_NE(log.find("<6>stopper alle maskiner\n"), std::string::npos) << log;
}

TEST_F(Service, AnInheritedVariableOfAnotherStreamKeepsTheDatedLines) {
  for (const std::string& stream : {std::string("1:1"), std::string("garbage")}) {
    std::vector<std::string> argv = UnderJournal(stream);
    argv.insert(argv.end(), {ini, "--headless"});
    std::string log = RunAndStop(argv);
    EXPECT_NE(log.find(" zova: bruker " + ini + "\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("<6>"), std::string::npos) << log;
  }
}

#ifdef ZOVA_WINDOW_MODULE
struct InstalledLayout : Service {
  std::string prefix = dir / "usr";
  std::string program = prefix + "/bin/zova";
  InstalledLayout() {
    // No notice at start: a box that opens after the stop signal would hold the window.
    WriteFile(ini, "[Program]\r\nMaskiner=2\r\nTemp=" + dir.Path() +
                       "\r\n[Maskin1]\r\nProtokoll=Ingen\r\n[Maskin2]\r\nProtokoll=Ingen\r\n");
    fs::create_directories(prefix + "/bin");
    fs::copy_file(ZOVA_EXE, program);
    env.insert(env.end(), {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=offscreen",
                           // What Qt keeps until exit is not the station's.
                           "ASAN_OPTIONS=detect_leaks=0"});
  }
};

TEST_F(InstalledLayout, TheProgramFindsItsWindowInLibZova) {
  fs::create_directories(prefix + "/lib/zova");
  fs::copy_file(ZOVA_WINDOW_MODULE, prefix + "/lib/zova/libzova_window.so");
  Process zova({program, ini}, env);
  // The window front end listens for a second start once its window exists.
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!Exists(SocketPath()) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(Exists(SocketPath())) << zova.Stderr();
  zova.Signal(SIGTERM);
  EXPECT_EQ(zova.Wait(), 0);
  EXPECT_TRUE(zova.Lines().empty()) << "grid lines belong to the headless front end";
  EXPECT_EQ(zova.Stderr().find("vinduet kan ikke lastes"), std::string::npos) << zova.Stderr();
}

TEST_F(InstalledLayout, WithoutTheModuleTheProgramRunsHeadless) {
  std::string log = RunAndStop({program, ini});
  EXPECT_NE(log.find("vinduet kan ikke lastes (" + prefix + "/bin/libzova_window.so"),
            std::string::npos)
      << log;
}
#endif

}  // namespace
}  // namespace zova::test
