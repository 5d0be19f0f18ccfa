// zova: the DNC station. "zova [Zova.ini] [--headless]" runs the station;
// "zova --demo" runs it on the embedded demo configuration; "zova <command>"
// runs one of the set-up subcommands.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/demo.h"
#include "app/headless.h"
#include "app/register_drivers.h"
#include "app/subcommand.h"
#include "app/test_clock.h"
#include "app/window_module.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/paths.h"
#include "core/single_instance.h"
#include "core/startup.h"
#include "core/station_log.h"
#include "core/stop_signals.h"

namespace {

constexpr const char* kVersion = "1.4.1";

void PrintHelp() {
  std::printf(
      "zova %s - DNC-stasjon for CNC-maskiner\n\n"
      "Bruk:\n"
      "  zova [Zova.ini] [--headless]   start stasjonen\n"
      "  zova --demo [--headless]       start stasjonen med demo-oppsettet\n"
      "  zova --help | --version\n",
      kVersion);
  for (const auto& [name, cmd] : zova::app::Subcommands())
    std::printf("  zova %s\n", cmd.usage.c_str());
  std::printf(
      "\nUten skjerm (ingen DISPLAY/WAYLAND_DISPLAY) kjører stasjonen alltid uten vindu.\n");
}

bool HaveDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  const char* qpa = std::getenv("QT_QPA_PLATFORM");
  return (x && *x) || (w && *w) || (qpa && *qpa);
}

}  // namespace

int main(int argc, char** argv) {
  zova::app::RegisterStationDrivers();
  zova::app::InstallTestClock();
  std::vector<std::string> args(argv + 1, argv + argc);

  if (!args.empty()) {
    auto& commands = zova::app::Subcommands();
    auto it = commands.find(args[0]);
    if (it != commands.end()) {
      std::vector<std::string> rest(args.begin() + 1, args.end());
      return it->second.run(rest);
    }
  }

  bool headless = false, demo = false;
  std::string iniArg;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      PrintHelp();
      return 0;
    } else if (a == "--version") {
      std::printf("%s\n", kVersion);
      return 0;
    } else if (a == "--headless") {
      headless = true;
    } else if (a == "--demo") {
      demo = true;
    } else if (iniArg.empty() && a.rfind("--", 0) != 0) {
      iniArg = a;
    } else {
      std::fprintf(stderr, "zova: ukjent argument %s (se zova --help)\n", a.c_str());
      return 2;
    }
  }
  // Before the first thread (the window's own, the drivers) so that none of
  // them is ever interrupted by a stop signal; the demo's controls unblock
  // them again in their own processes.
  zova::StopSignals::Block();
  if (demo) iniArg = zova::app::PrepareDemo();
#ifdef ZOVA_WITH_QT
  if (!headless && HaveDisplay()) {
    if (zova::app::WindowMain window = zova::app::LoadWindowModule())
      return window(argc, argv, iniArg.c_str());
  }
#endif

  zova::LoadProgramSettings(iniArg, zova::ProgramDir());
  zova::SingleInstance instance;
  if (!instance.Acquire()) {
    // Unanswered, the running station no longer serves its machines' calls.
    zova::LogStation(instance.Answered() ? zova::LogLevel::Info : zova::LogLevel::Warning,
                     instance.SecondStartText());
    return 0;
  }
  zova::LogStation("bruker " + zova::Globals().IniFil);

#ifndef ZOVA_WITH_QT
  (void)HaveDisplay;
  (void)headless;
#endif
  return zova::app::RunHeadless(&instance);
}
