#include "core/stop_signals.h"

#include <pthread.h>

#include <atomic>
#include <ctime>

namespace zova::StopSignals {

namespace {

// A thread that was already running when the signals were blocked (one a
// library started) can still be handed one; it only leaves a mark.
std::atomic<bool> g_marked{false};

void Mark(int) {
  g_marked.store(true);
}

sigset_t StopSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

void Block() {
  struct sigaction sa {};
  sa.sa_handler = Mark;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  sigset_t set = StopSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

bool Take() {
  sigset_t set = StopSet();
  timespec now{0, 0};
  bool taken = false;
  while (sigtimedwait(&set, nullptr, &now) > 0) taken = true;
  return g_marked.exchange(false) || taken;
}

void ResetInChild() {
  sigset_t none;
  sigemptyset(&none);
  // The handler itself goes with the exec; the mask would stay.
  sigprocmask(SIG_SETMASK, &none, nullptr);
}

void PrepareSpawn(posix_spawnattr_t& attr) {
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
}

}  // namespace zova::StopSignals
