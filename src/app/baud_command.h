#pragma once
// zova baud: the baud-rate detection of the window's "&Baud" item on a
// machine's port from the command line, for a station without a window or a
// machine set up from a shell. The station must not be running the machine's
// driver meanwhile (cmd_baud.cpp asks it).

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "serial/baud/baud_search.h"

namespace zova::app {

struct BaudPlan {
  int machine = 0;
  BaudSearchSettings settings;
  bool write = false;
};

// MACHINE [--min N] [--max N] [--bits 7|8|9] [--stop 1|2] [--write], with
// MACHINE a number or a machine's Navn in the active Zova.ini.
std::optional<BaudPlan> PlanBaud(const std::vector<std::string>& args, std::string& error);

// Prints each rate tried and each phase, then the detected settings, written
// to the port's section with Write. Stop is asked after every read; once a
// rate is accepted the search also ends after 50 characters more or two
// seconds without one (what came meanwhile decides the character code).
// 0: a rate was found; 1: stopped before one was; 2: the port could not be
// used or the file not written.
int RunBaudCommand(const BaudPlan& plan, std::FILE* out, std::FILE* err,
                   const std::function<bool()>& stop);

}  // namespace zova::app
