// cncsim end to end over a pseudo-terminal pair that it makes itself; the
// test plays the station through TermiosDevice.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "serial/device/termios_device.h"
#include "support/test_support.h"

extern char** environ;

namespace zova {
namespace {

const std::string kSim = std::string(ZOVA_BINARY_DIR) + "/sim/cncsim";

class Sim {
 public:
  explicit Sim(std::vector<std::string> args) {
    int out[2];
    if (::pipe(out) != 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    std::vector<char*> argv;
    args.insert(args.begin(), kSim);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, kSim.c_str(), &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&fa);
    ::close(out[1]);
    out_ = ::fdopen(out[0], "r");
  }
  ~Sim() {
    if (pid_ > 0) Wait();
    if (out_) std::fclose(out_);
  }
  std::string Line() {
    char buf[512];
    if (!out_ || !std::fgets(buf, sizeof buf, out_)) return "";
    std::string s = buf;
    if (!s.empty() && s.back() == '\n') s.pop_back();
    return s;
  }
  int Wait() {
    int status = 0;
    if (pid_ > 0) ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
};

std::unique_ptr<TermiosDevice> OpenStation(Sim& sim, LineSettings settings = {}) {
  std::string path = sim.Line();
  EXPECT_EQ(path.rfind("/dev/", 0), 0u) << "cncsim prints the station's path first: " << path;
  int err = 0;
  auto dev = TermiosDevice::Open(path, err);
  EXPECT_TRUE(dev) << DeviceErrorText(err);
  if (dev) {
    EXPECT_TRUE(dev->Configure(settings, err));
  }
  return dev;
}

// Reads until Stop arrives, the line hangs up or TimeoutMs of silence.
std::string ReadUntil(SerialDevice& d, char stop, int timeoutMs = 3000, bool* hangup = nullptr) {
  std::string got;
  uint8_t buf[1024];
  for (;;) {
    IoResult r = d.Read(buf, sizeof buf, timeoutMs);
    got.append(reinterpret_cast<char*>(buf), r.count);
    if (hangup && r.hangup) *hangup = true;
    if (r.count == 0 || got.find(stop) != std::string::npos) return got;
  }
}

void Write(SerialDevice& d, const std::string& s) {
  auto r = d.Write(reinterpret_cast<const uint8_t*>(s.data()), s.size(), 5000);
  EXPECT_EQ(r.count, s.size());
}

std::string Program(size_t lines) {
  std::string p = "%\r\nO1234\r\n";
  for (size_t i = 0; i < lines; ++i) p += "N" + std::to_string(i) + " G01 X10.5 Y-3.25\r\n";
  return p + "M30\r\n";
}

TEST(CncSim, SendsAProgramFramedAndPaced) {
  test::TempDir dir;
  std::string program = Program(100);  // about 2.6 KB
  test::WriteFile(dir / "p.nc", program);
  Sim sim({"--baud", "115200", "-e", "wait-open", "-e",
           "send " + (dir / "p.nc") + " --start [DC2] --stop [DC4]"});
  auto dev = OpenStation(sim);
  ASSERT_TRUE(dev);
  auto start = std::chrono::steady_clock::now();
  std::string got = ReadUntil(*dev, '\x14');
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(got, "\x12" + program + "\x14");
  double expected = static_cast<double>(got.size()) / 11520.0;
  EXPECT_GT(secs, expected * 0.8) << "paced at the baud rate";
  EXPECT_LT(secs, expected * 3 + 0.2);
  EXPECT_EQ(sim.Wait(), 0);
}

TEST(CncSim, RequestsAndCapturesUntilTheStopCode) {
  test::TempDir dir;
  Sim sim({"-e", "wait-open", "-e", "request %O1234[CR][LF]", "-e",
           "capture " + (dir / "got.nc") + " --until [DC4] --quiet 2000"});
  auto dev = OpenStation(sim);
  ASSERT_TRUE(dev);
  EXPECT_EQ(ReadUntil(*dev, '\n'), "%O1234\r\n");
  std::string program = Program(20);
  Write(*dev, program + "\x14" + "after the end");
  EXPECT_EQ(sim.Wait(), 0);
  EXPECT_EQ(test::ReadFile(dir / "got.nc"), program + "\x14");
}

TEST(CncSim, CaptureEndsAfterQuietTimeAndAnswersWithXon) {
  test::TempDir dir;
  Sim sim({"-e", "wait-open", "-e", "capture " + (dir / "got.nc") + " --xon --quiet 150"});
  auto dev = OpenStation(sim);
  ASSERT_TRUE(dev);
  EXPECT_EQ(ReadUntil(*dev, '\x11'), "\x11") << "the control's start signal";
  Write(*dev, "G00 X0\r\n");
  EXPECT_EQ(sim.Wait(), 0);
  EXPECT_EQ(test::ReadFile(dir / "got.nc"), "G00 X0\r\n");
}

TEST(CncSim, CaptureOfNothingFails) {
  test::TempDir dir;
  Sim sim({"-e", "wait-open", "-e", "capture " + (dir / "got.nc") + " --first 100"});
  auto dev = OpenStation(sim);
  EXPECT_EQ(sim.Wait(), 1);
}

TEST(CncSim, XoffPausesAreConsumedByTheStationKernel) {
  test::TempDir dir;
  Sim sim({"-e", "wait-open", "-e",
           "capture " + (dir / "got.nc") + " --until M30 --xoff-every 500 --pause 30"});
  LineSettings s;
  s.xonXoffOut = true;
  auto dev = OpenStation(sim, s);
  ASSERT_TRUE(dev);
  std::string program = Program(400);
  Write(*dev, program);
  EXPECT_EQ(sim.Wait(), 0);
  EXPECT_EQ(test::ReadFile(dir / "got.nc"), program.substr(0, program.size() - 2));
  uint8_t b;
  EXPECT_EQ(dev->ReadByte(b, 0).count, 0u) << "no XON/XOFF reached the driver";
}

TEST(CncSim, DropsTheLineMidTransfer) {
  test::TempDir dir;
  test::WriteFile(dir / "p.nc", Program(100));
  Sim sim({"-e", "wait-open", "-e", "send " + (dir / "p.nc") + " --drop-after 500"});
  auto dev = OpenStation(sim);
  ASSERT_TRUE(dev);
  bool hangup = false;
  std::string got = ReadUntil(*dev, '\x14', 3000, &hangup);
  EXPECT_EQ(got, Program(100).substr(0, 500));
  EXPECT_TRUE(hangup);
  EXPECT_EQ(sim.Wait(), 0);
}

TEST(CncSim, NoiseIsRepeatableBySeed) {
  std::string first;
  for (int run = 0; run < 2; ++run) {
    Sim sim({"-e", "wait-open", "-e", "noise 300 --seed 7"});
    auto dev = OpenStation(sim);
    ASSERT_TRUE(dev);
    std::string got;
    uint8_t buf[512];
    while (got.size() < 300) {
      IoResult r = dev->Read(buf, sizeof buf, 2000);
      if (r.count == 0) break;
      got.append(reinterpret_cast<char*>(buf), r.count);
    }
    EXPECT_EQ(got.size(), 300u);
    if (run == 0)
      first = got;
    else
      EXPECT_EQ(got, first);
    EXPECT_EQ(sim.Wait(), 0);
  }
}

TEST(CncSim, ObeysTheStationsXoff) {
  test::TempDir dir;
  test::WriteFile(dir / "p.nc", std::string(600, 'A'));
  Sim sim({"--baud", "19200", "-e", "wait-open", "-e", "send " + (dir / "p.nc")});
  auto dev = OpenStation(sim);
  ASSERT_TRUE(dev);
  uint8_t buf[1024];
  size_t got = dev->Read(buf, sizeof buf, 2000).count;
  Write(*dev, "\x13");
  while (true) {  // what was under way when the XOFF went
    IoResult r = dev->Read(buf, sizeof buf, 60);
    if (r.count == 0) break;
    got += r.count;
  }
  EXPECT_LT(got, 600u);
  EXPECT_EQ(dev->Read(buf, sizeof buf, 100).count, 0u) << "held while XOFF stands";
  Write(*dev, "\x11");
  while (got < 600) {
    IoResult r = dev->Read(buf, sizeof buf, 2000);
    if (r.count == 0) break;
    got += r.count;
  }
  EXPECT_EQ(got, 600u);
  EXPECT_EQ(sim.Wait(), 0);
}

TEST(CncSim, PacedCaptureTakesBytesAtTheBaudRateAndCountsTheStationsGaps) {
  test::TempDir dir;
  Sim sim({"--baud", "19200", "-e", "wait-open", "-e",
           "capture " + (dir / "got.nc") + " --paced --quiet 400"});
  auto dev = OpenStation(sim);
  ASSERT_TRUE(dev);
  // 480 bytes are 250 ms on the wire; the second half comes 300 ms after
  // the first half has gone out.
  const std::string half(480, 'A');
  auto start = std::chrono::steady_clock::now();
  Write(*dev, half);
  std::this_thread::sleep_for(std::chrono::milliseconds(550));
  Write(*dev, half);
  const std::string report = sim.Line();
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(sim.Wait(), 0);
  EXPECT_EQ(test::ReadFile(dir / "got.nc"), half + half);
  EXPECT_GT(secs, 0.75) << "taken no faster than the line carries them";
  unsigned long bytes = 0;
  double busy = 0, wire = 0, idle = 0;
  int gaps = 0;
  ASSERT_EQ(std::sscanf(report.c_str(),
                        "capture: %lu bytes, line busy %lf%% (wire %lf s, idle %lf s in %d gaps)",
                        &bytes, &busy, &wire, &idle, &gaps),
            5)
      << report;
  EXPECT_EQ(bytes, 960u);
  EXPECT_NEAR(wire, 0.5, 0.01);
  EXPECT_NEAR(idle, 0.3, 0.1);
  EXPECT_GE(gaps, 1);
  // The report rounds each figure, so the ratio is only as exact as they are.
  EXPECT_NEAR(busy, 100 * wire / (wire + idle), 0.2);
}

TEST(CncSim, PacedCaptureNeedsABaudRate) {
  test::TempDir dir;
  Sim sim({"-e", "wait-open", "-e", "capture " + (dir / "got.nc") + " --paced"});
  auto dev = OpenStation(sim);
  EXPECT_EQ(sim.Wait(), 1);
}

TEST(CncSim, ExpectAndScriptFile) {
  test::TempDir dir;
  test::WriteFile(dir / "s.txt",
                  "# a control that asks twice\nwait-open\nexpect \"READY[CR]\"\n"
                  "request \"%O1[CR]\"\nexpect [DC4] --timeout 2000\necho done\n");
  Sim sim({"--script", dir / "s.txt"});
  auto dev = OpenStation(sim);
  ASSERT_TRUE(dev);
  Write(*dev, "READY\r");
  EXPECT_EQ(ReadUntil(*dev, '\r'), "%O1\r");
  Write(*dev, "\x14");
  EXPECT_EQ(sim.Line(), "done");
  EXPECT_EQ(sim.Wait(), 0);
}

TEST(CncSim, BadScriptsAreRefused) {
  const char* bad[] = {"launch rocket", "send", "capture a --quiet", "request \"open"};
  for (const char* b : bad) {
    Sim sim({"-e", b});
    EXPECT_EQ(sim.Wait(), 2) << b;
  }
  Sim missing({"-e", "send /nonexistent/file.nc"});
  missing.Line();
  EXPECT_EQ(missing.Wait(), 1);
}

TEST(CncSim, StandardIsTheDefaultControlAndUnknownControlsAreRefused) {
  {
    Sim sim({"--control", "standard", "-e", "wait-open", "-e", "request %O1[CR]"});
    auto dev = OpenStation(sim);
    ASSERT_TRUE(dev);
    EXPECT_EQ(ReadUntil(*dev, '\r'), "%O1\r");
    EXPECT_EQ(sim.Wait(), 0);
  }
  Sim unknown({"--control", "3964", "-e", "wait-open"});
  EXPECT_EQ(unknown.Line(), "") << "refused before a line is made";
  EXPECT_EQ(unknown.Wait(), 2);
}

// The echo control keeps the standard commands: bytes that came with the
// expected text but after it are echoed too, and every byte value passes
// unchanged in both directions.
TEST(CncSim, EchoControlSendsBackEveryByte) {
  Sim sim({"--control", "echo", "--baud", "115200", "-e", "wait-open", "-e", "expect HELLO[CR]",
           "-e", "echo-back --quiet 300", "-e", "echo done"});
  auto dev = OpenStation(sim);
  ASSERT_TRUE(dev);
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  Write(*dev, "HELLO\r" + all);
  std::string got;
  uint8_t buf[512];
  while (got.size() < all.size()) {
    IoResult r = dev->Read(buf, sizeof buf, 2000);
    if (r.count == 0) break;
    got.append(reinterpret_cast<char*>(buf), r.count);
  }
  EXPECT_EQ(got, all);
  EXPECT_EQ(sim.Line(), "done");
  EXPECT_EQ(sim.Wait(), 0);
}

TEST(CncSim, EchoOfNothingFails) {
  Sim sim({"--control", "echo", "-e", "wait-open", "-e", "echo-back --quiet 100"});
  auto dev = OpenStation(sim);
  EXPECT_EQ(sim.Wait(), 1);
}

}  // namespace
}  // namespace zova
