#include "core/stop_signals.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

namespace zova {
namespace {

// Each case runs in a child of its own: the blocked signals would otherwise
// stay with the test program.
template <typename Fn>
int InChild(Fn fn) {
  pid_t pid = fork();
  if (pid == 0) _exit(fn());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(StopSignals, ASignalWaitsForTheMainLoopWhicheverThreadItIsSentTo) {
  EXPECT_EQ(InChild([] {
              StopSignals::Block();
              if (StopSignals::Take()) return 1;
              kill(getpid(), SIGTERM);
              // A thread started afterwards, as a driver is, cannot take it.
              std::thread([] { kill(getpid(), SIGINT); }).join();
              if (!StopSignals::Take()) return 2;
              return StopSignals::Take() ? 3 : 0;
            }),
            0);
}

// A child must be stoppable like any program, not keep the station's mask.
TEST(StopSignals, ChildrenStartWithNothingBlocked) {
  enum class Start { PlainSpawn, PreparedSpawn, ForkAndReset };
  const struct {
    Start start;
    int exitCode;  // grep's: 0 when the child's mask is empty
  } cases[] = {{Start::PlainSpawn, 1}, {Start::PreparedSpawn, 0}, {Start::ForkAndReset, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.start));
    EXPECT_EQ(InChild([&] {
                StopSignals::Block();
                char* argv[] = {const_cast<char*>("grep"), const_cast<char*>("-q"),
                                const_cast<char*>("^SigBlk:[[:space:]]*0*$"),
                                const_cast<char*>("/proc/self/status"), nullptr};
                pid_t pid = -1;
                if (c.start == Start::ForkAndReset) {
                  pid = fork();
                  if (pid == 0) {
                    StopSignals::ResetInChild();
                    execvp(argv[0], argv);
                    _exit(127);
                  }
                } else {
                  posix_spawnattr_t attr;
                  posix_spawnattr_init(&attr);
                  if (c.start == Start::PreparedSpawn) StopSignals::PrepareSpawn(attr);
                  if (posix_spawnp(&pid, argv[0], nullptr, &attr, argv, environ) != 0) return 126;
                  posix_spawnattr_destroy(&attr);
                }
                int status = 0;
                waitpid(pid, &status, 0);
                return WIFEXITED(status) ? WEXITSTATUS(status) : 125;
              }),
              c.exitCode);
  }
}

}  // namespace
}  // namespace zova
