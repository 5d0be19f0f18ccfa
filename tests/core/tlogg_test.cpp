// The logging layer's files, compared byte for byte, with a test clock.

#include "core/driver/tlogg.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "core/logging/log_format.h"
#include "core/paths.h"
#include "support/test_support.h"

namespace zova {
namespace {

using namespace std::chrono;

WallTime At(int h, int m, int s, int ms = 0) {
  return sys_days{year{2026} / 12 / 8} + hours(h) + minutes(m) + seconds(s) + milliseconds(ms);
}

struct UtcZone {
  UtcZone() {
    setenv("TZ", "UTC", 1);
    tzset();
  }
};

class LogDriver : public TLogg {
 public:
  using TLogg::StatusTimeStamp;
  using TLogg::TLogg;
  void Execute() override {}
};

struct TLoggTest : ::testing::Test {
  UtcZone zone;
  ManualClock clock{At(10, 0, 0)};
  ScopedClock useClock{clock};
  StationModel model{2};
  UiLinks links;
  TLoggTest() { links.model = &model; }
  // LogDir is fixed for the process; these tests write their own paths.
  std::string Ini(const test::TempDir& dir, const std::string& extra) {
    return "[Program]\r\nLogging=True\r\n[Maskin1]\r\nKatalog=" + dir.Path() + "\r\n" + extra;
  }
};

TEST(LogFormat, PauseMarkers) {
  UtcZone zone;
  EXPECT_EQ(PauseMarker(449, At(9, 0, 0)), "");
  EXPECT_EQ(PauseMarker(450, At(9, 0, 0)), "![0.5]");
  EXPECT_EQ(PauseMarker(1200, At(9, 0, 0)), "![1.2]");
  EXPECT_EQ(PauseMarker(15000, At(9, 0, 0)), "![15.0]");
  EXPECT_EQ(PauseMarker(20000, At(9, 0, 20)), "![08.12.2026 09:00:20-20.0]");
}

TEST(LogFormat, DateTimePatterns) {
  UtcZone zone;
  WallTime t = At(7, 5, 9, 42);
  struct {
    const char *pattern, *out;
  } cases[] = {
      {"YYYY-MM-DD HH:NN:SS", "2026-12-08 07:05:09"},
      {"DD.MM.YY", "08.12.26"},
      {"D.M.YYYY", "8.12.2026"},
      {"HH:MM", "07:05"},  // minutes after hours
      {"H:M:S", "7:5:9"},
      {"SS.ZZZ", "09.042"},
      {"YYYYMMDD\"T\"HHNNSS", "20261208T070509"},
      {"\"DATO\" DD", "DATO 08"},
      {"dd/mm", "08/12"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTimePattern(c.pattern, t), c.out) << c.pattern;
}

TEST_F(TLoggTest, ByteLogWithMarksPausesAndLineBreaks) {
  test::TempDir dir;
  test::ScopedIni ini(Ini(dir, ""));
  std::string logPath;
  {
    LogDriver d(links, model.Request(1), 1);
    ASSERT_TRUE(d.Logging);
    logPath = FsPath(d.LogBase + "Log");
    ::truncate(logPath.c_str(), 0);
    EXPECT_EQ(model.Cell(kColMelding, 1), "Logger");
    for (char c : std::string("\x02G\r\n1")) d.LogByte('#', static_cast<uint8_t>(c));
    clock.Advance(1200);
    d.LogByte('@', '%');
    clock.Advance(400);
    d.LogByte(TLogg::kMarkSent2, '!');
    clock.Advance(20000);
    d.LogByte(TLogg::kMarkReceived2, '\xC6');
    d.LogMarker(false, "Stopp");
    d.CloseLog();
  }
  EXPECT_EQ(test::ReadFile(logPath),
            "#[STX]#G#[CR]#[LF]\r\n#1![1.2]@%\xC2\xA3[33]![08.12.2026 10:00:21-20.0]\xC2\xA7[198]"
            "![Stopp]");
}

TEST_F(TLoggTest, ByteLogOverTenMebibytesIsEmptiedAtStart) {
  test::TempDir dir;
  test::ScopedIni ini(Ini(dir, "[Maskin2]\r\nKatalog=" + dir.Path() + "\r\n"));
  std::string base = LogDir() + "Maskin";
  for (int n : {1, 2}) {
    std::string path = FsPath(base + std::to_string(n) + ".Log");
    test::WriteFile(path, "");
    ASSERT_EQ(::truncate(path.c_str(), kMaxByteLog + (n == 1 ? 1 : 0)), 0);
  }
  {
    LogDriver a(links, model.Request(1), 1), b(links, model.Request(2), 2);
    a.LogByte('#', 'x');
    b.LogByte('#', 'x');
  }
  EXPECT_EQ(test::ReadFile(FsPath(base + "1.Log")), "#x");
  EXPECT_EQ(test::ReadFile(FsPath(base + "2.Log")).size(), static_cast<size_t>(kMaxByteLog) + 2);
  ::unlink(FsPath(base + "2.Log").c_str());
}

TEST_F(TLoggTest, LoggingAndStatusLogFollowProgramAndMachine) {
  test::TempDir dir;
  test::ScopedIni ini("[Program]\r\nLogging=True\r\n[Maskin2]\r\nLogging=False\r\n");
  LogDriver a(links, model.Request(1), 1), b(links, model.Request(2), 2);
  EXPECT_TRUE(a.Logging);
  EXPECT_TRUE(a.StatusLogg);
  EXPECT_FALSE(b.Logging);
  EXPECT_FALSE(b.StatusLogg);
}

TEST_F(TLoggTest, StatusLogAndEventLines) {
  test::TempDir dir;
  test::ScopedIni ini("[Program]\r\nStatusLogg=True\r\nHendelser=True\r\n[Maskin1]\r\nKatalog=" +
                      dir.Path() + "\r\nHendelsesFil=" + dir.Path() + "events.txt\r\n");
  LogDriver d(links, model.Request(1), 1);
  std::string statusPath = FsPath(d.LogBase + "Txt");
  ::unlink(statusPath.c_str());
  d.ReportCell(2, "Venter....");
  d.ReportCell(4, "123");  // the Tegn column is never logged
  d.ReportCell(2, "");
  d.ReportCell(1, "O1000.NC");
  EXPECT_EQ(model.Cell(kColStatus, 1), "");
  EXPECT_EQ(test::ReadFile(statusPath),
            "08.12.2026 10:00:00   Status:  Venter....\r\n"
            "08.12.2026 10:00:00   Filnavn: O1000.NC\r\n");
  d.LogSentToCnc("O1000.NC");
  d.LogFileEvent("O1000.NC", "lagret");
  int w = (55 - static_cast<int>(d.DataDir.size())) / 2;
  EXPECT_EQ(test::ReadFile(FsPath(dir / "events.txt")),
            "08.12.2026 10:00 Fil sendt til CNC: O1000.NC\r\n08.12.2026 10:00 " +
                std::string("O1000.NC").append(std::max(0, w - 8), ' ').substr(0, std::max(0, w)) +
                " -> lagret\r\n");
}

TEST_F(TLoggTest, EventLineFallsBackToTheLogDirectory) {
  test::ScopedIni ini(
      "[Program]\r\nHendelser=True\r\n[Maskin1]\r\nHendelsesFil=/proc/zova-none/ev.txt\r\n");
  LogDriver d(links, model.Request(1), 1);
  std::string fallback = FsPath(LogDir() + "Maskin1H.Txt");
  ::unlink(fallback.c_str());
  d.LogEvent(false, "Data lagret");
  EXPECT_EQ(test::ReadFile(fallback), "08.12.2026 10:00 Data lagret\r\n");
  ::unlink(fallback.c_str());
}

TEST_F(TLoggTest, StatusRecordsWithPatternAndTheLockedFileCase) {
  test::TempDir dir;
  std::string target = dir / "cell.sdv";
  // A log directory of its own: the fallback file must not be shared with
  // other tests running at the same time.
  test::ScopedIni ini("[Program]\r\nTemp=" + dir.Path() +
                      "\r\nDatoTid=yyyymmdd hhnnss\r\n[Maskin2]\r\nLoggeFil=" + target + "\r\n");
  LogDriver d(links, model.Request(1), 1);
  std::string fallback = FsPath(d.LogBase + "SDV");
  ::unlink(fallback.c_str());
  d.LastTime = At(6, 30, 0);
  bool ok = false;
  d.WriteStatusRecord(2, 101, std::string(60, 'x'), ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(test::ReadFile(FsPath(target)), "20261208 063000;101;" + std::string(50, 'x') + "\r\n");

  // Another program holds the file: twenty tries, then this machine's own file.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t holder = fork();
  if (holder == 0) {
    int fd = ::open(FsPath(target).c_str(), O_WRONLY);
    if (fd < 0 || ::lockf(fd, F_LOCK, 0) != 0) _exit(1);
    char b = 'r';
    if (::write(ready[1], &b, 1) != 1) _exit(1);
    ::pause();
    _exit(0);
  }
  char b;
  ASSERT_EQ(::read(ready[0], &b, 1), 1);
  int64_t before = clock.TickMs();
  d.LastTime = At(6, 31, 0);
  d.WriteStatusRecord(2, 102, "busy", ok);
  EXPECT_TRUE(ok);
  EXPECT_GE(clock.TickMs() - before, 19 * 200);
  EXPECT_TRUE(d.StatusGap);
  EXPECT_EQ(test::ReadFile(fallback), "20261208 063100;102;busy\r\n");
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);

  d.LastTime = At(6, 32, 0);
  d.WriteStatusRecord(2, 103, "free", ok);
  EXPECT_TRUE(ok);
  EXPECT_FALSE(d.StatusGap);
  EXPECT_EQ(test::ReadFile(FsPath(target)),
            "20261208 063000;101;" + std::string(50, 'x') +
                "\r\n20261208 063200;203;\r\n20261208 063200;103;free\r\n");
  ::unlink(fallback.c_str());
}

}  // namespace
}  // namespace zova
