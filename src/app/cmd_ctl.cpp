// zova ctl: gives the running station an order through its web interface.

#include <httplib.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/ctl_command.h"
#include "app/subcommand.h"
#include "core/latin1.h"
#include "web/web_settings.h"

namespace {

using zova::app::CtlPlan;

int Fail(const std::string& text) {
  std::fprintf(stderr, "zova ctl: %s\n", text.c_str());
  return 2;
}

httplib::Headers AuthHeaders(const zova::web::WebSettings& s) {
  if (s.token.empty()) return {};
  return {{"Authorization", "Bearer " + s.token}};
}

// The station's answer text (UTF-8), or the HTTP status.
std::string AnswerText(const httplib::Result& r) {
  auto doc = nlohmann::json::parse(r->body, nullptr, false);
  if (!doc.is_discarded() && doc.is_object() && doc.contains("text") && doc["text"].is_string())
    return doc["text"].get<std::string>();
  return "svar " + std::to_string(r->status);
}

int Watch(httplib::Client& client, const httplib::Headers& headers) {
  zova::app::WatchPrinter printer;
  client.set_read_timeout(60, 0);
  auto r = client.Get("/api/events", headers, [&](const char* data, size_t n) {
    std::string lines = printer.Feed(std::string(data, n));
    std::fputs(lines.c_str(), stdout);
    std::fflush(stdout);
    return true;
  });
  return r ? 0 : Fail("forbindelsen til stasjonen ble brutt");
}

int Ctl(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  if (!zova::app::TakeIniArgument(args)) return 2;
  std::string error;
  auto plan = zova::app::PlanCtl(args, error);
  if (!plan) return Fail(error);
  const zova::web::WebSettings settings = zova::web::ReadWebSettings();
  if (settings.port <= 0) return Fail("nettgrensesnittet er slått av (WebPort=0)");
  const std::string url = zova::web::WebBaseUrl(settings);
  httplib::Client client(url);
  client.set_connection_timeout(3, 0);
  client.set_read_timeout(30, 0);
  const httplib::Headers headers = AuthHeaders(settings);
  if (plan->kind == CtlPlan::Kind::Watch) return Watch(client, headers);
  auto grid = client.Get("/api/grid", headers);
  if (!grid) return Fail("ingen stasjon svarer på " + url + "/");
  if (grid->status != 200) return Fail(AnswerText(grid));
  if (plan->kind == CtlPlan::Kind::Status) {
    std::fputs(zova::app::FormatStatus(grid->body).c_str(), stdout);
    return 0;
  }
  const int n = zova::app::ResolveMachine(grid->body, plan->machine);
  if (n == 0) return Fail("ukjent maskin: " + plan->machine);
  auto r = client.Post("/api/machines/" + std::to_string(n) + "/" + plan->order, headers,
                       plan->body, "application/json");
  if (!r) return Fail("ingen stasjon svarer på " + url + "/");
  if (r->status != 200) return Fail(AnswerText(r));
  std::printf("%s\n", AnswerText(r).c_str());
  return 0;
}

}  // namespace

ZOVA_SUBCOMMAND("ctl", Ctl,
                "ctl [Zova.ini] status | send MASKIN [FIL] | fetch MASKIN NAVN | command MASKIN "
                "TEKST | cancel MASKIN | restart MASKIN | watch");
