// zova baud: the baud-rate detection on a machine's port, while the station
// does not run that machine's driver.

#include <httplib.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/baud_command.h"
#include "app/subcommand.h"
#include "core/stop_signals.h"
#include "web/web_settings.h"

namespace {

// The address of the station that runs Machine's driver, or empty when none
// answers or it does not run it. Both ends of the line cannot be read at
// once: the driver would take half the characters and the search the rest.
std::string StationRunning(int machine) {
  const zova::web::WebSettings settings = zova::web::ReadWebSettings();
  if (settings.port <= 0) return {};
  const std::string url = zova::web::WebBaseUrl(settings);
  httplib::Client client(url);
  client.set_connection_timeout(2, 0);
  client.set_read_timeout(5, 0);
  httplib::Headers headers;
  if (!settings.token.empty()) headers = {{"Authorization", "Bearer " + settings.token}};
  auto grid = client.Get("/api/grid", headers);
  if (!grid || grid->status != 200) return {};
  const auto doc = nlohmann::json::parse(grid->body, nullptr, false);
  if (doc.is_discarded() || !doc.contains("machines")) return {};
  for (const auto& m : doc["machines"])
    if (m.value("n", 0) == machine && m.value("active", false)) return url;
  return {};
}

int Baud(const std::vector<std::string>& args) {
  std::vector<std::string> rest = args;
  if (!zova::app::TakeIniArgument(rest)) return 2;
  std::string error;
  const auto plan = zova::app::PlanBaud(rest, error);
  if (!plan) {
    std::fprintf(stderr, "zova baud: %s\n", error.c_str());
    return 2;
  }
  const std::string station = StationRunning(plan->machine);
  if (!station.empty()) {
    std::fprintf(stderr,
                 "zova baud: stasjonen på %s/ kjører maskin %d; bruk Bauddeteksjon i vinduet, "
                 "eller stopp stasjonen først\n",
                 station.c_str(), plan->machine);
    return 2;
  }
  // Ctrl-C and a service manager's stop are the dialog's "Stopp".
  zova::StopSignals::Block();
  return zova::app::RunBaudCommand(*plan, stdout, stderr, [] { return zova::StopSignals::Take(); });
}

}  // namespace

ZOVA_SUBCOMMAND("baud", Baud,
                "baud [Zova.ini] MASKIN [--min N] [--max N] [--bits 7|8|9] [--stop 1|2] [--write]");
