#pragma once
// SIGINT and SIGTERM end the station through its close procedure. They are
// taken by the main loop when it looks for them, not by a handler that may
// interrupt any thread: every thread keeps them blocked, so a stop signal
// stays pending in the process until the main loop takes it.

#include <signal.h>
#include <spawn.h>

namespace zova {

namespace StopSignals {

// Blocks both signals in the calling thread and so in every thread it
// starts later. Call it before any thread is started.
void Block();
// True once for each stop signal sent; never waits.
bool Take();
// For a child between fork and exec (async-signal-safe): the signal mask
// the child starts its program with, as if the station had never run.
void ResetInChild();
// The same for posix_spawn: the attributes a child needs.
void PrepareSpawn(posix_spawnattr_t& attr);

}  // namespace StopSignals

}  // namespace zova
