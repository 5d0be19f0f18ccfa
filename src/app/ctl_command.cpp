#include "app/ctl_command.h"

#include <nlohmann/json.hpp>

#include "core/latin1.h"
#include "core/model/station_model.h"

namespace zova::app {

namespace {

using json = nlohmann::json;

constexpr const char* kUsage =
    "bruk: zova ctl [Zova.ini] status | send MASKIN [FIL] | fetch MASKIN NAVN | "
    "command MASKIN TEKST | cancel MASKIN | restart MASKIN | watch";

struct Verb {
  const char* word;
  const char* order;
  const char* key;  // body key of the text word, or null
  size_t minWords, maxWords;
};

constexpr Verb kVerbs[] = {
    {"send", "send", "name", 2, 3},        {"fetch", "fetch", "name", 3, 3},
    {"command", "command", "text", 3, 3},  {"cancel", "cancel", nullptr, 2, 2},
    {"restart", "restart", nullptr, 2, 2},
};

}  // namespace

std::optional<CtlPlan> PlanCtl(const std::vector<std::string>& words, std::string& error) {
  error.clear();
  if (words.empty()) {
    error = kUsage;
    return std::nullopt;
  }
  CtlPlan plan;
  if (words[0] == "status" || words[0] == "watch") {
    if (words.size() != 1) {
      error = kUsage;
      return std::nullopt;
    }
    plan.kind = words[0] == "status" ? CtlPlan::Kind::Status : CtlPlan::Kind::Watch;
    return plan;
  }
  for (const Verb& v : kVerbs) {
    if (words[0] != v.word) continue;
    if (words.size() < v.minWords || words.size() > v.maxWords) break;
    plan.kind = CtlPlan::Kind::Order;
    plan.machine = words[1];
    plan.order = v.order;
    json body = json::object();
    if (v.key && words.size() == 3) body[v.key] = words[2];
    // Words that are not UTF-8 go as replacement characters, not as a crash.
    plan.body = body.dump(-1, ' ', false, json::error_handler_t::replace);
    return plan;
  }
  error = kUsage;
  return std::nullopt;
}

int ResolveMachine(const std::string& gridJson, const std::string& machine) {
  json grid = json::parse(gridJson, nullptr, false);
  if (grid.is_discarded() || !grid.contains("machines")) return 0;
  const std::string wanted = UpperCase(Utf8ToLatin1(machine));
  for (const json& m : grid["machines"]) {
    const int n = m.value("n", 0);
    if (std::to_string(n) == machine) return n;
    if (m.contains("cells") && !m["cells"].empty() && m["cells"][0].is_string() &&
        UpperCase(Utf8ToLatin1(m["cells"][0].get<std::string>())) == wanted)
      return n;
  }
  return 0;
}

std::string FormatStatus(const std::string& gridJson) {
  json grid = json::parse(gridJson, nullptr, false);
  if (grid.is_discarded() || !grid.contains("machines")) return {};
  std::string out;
  for (const json& m : grid["machines"]) {
    out += std::to_string(m.value("n", 0));
    std::string sep = " ";
    for (const json& c : m.value("cells", json::array())) {
      out += sep + (c.is_string() ? c.get<std::string>() : std::string());
      sep = " | ";
    }
    out += "\n";
  }
  return out;
}

std::string WatchPrinter::Feed(const std::string& chunk) {
  pending_ += chunk;
  std::string out;
  for (size_t end; (end = pending_.find("\n\n")) != std::string::npos;) {
    const std::string block = pending_.substr(0, end);
    pending_.erase(0, end + 2);
    std::string name = "message", data;
    size_t at = 0;
    while (at <= block.size()) {
      size_t nl = block.find('\n', at);
      if (nl == std::string::npos) nl = block.size();
      const std::string line = block.substr(at, nl - at);
      if (line.rfind("event: ", 0) == 0) name = line.substr(7);
      if (line.rfind("data: ", 0) == 0) data += line.substr(6);
      at = nl + 1;
    }
    out += Event(name, data);
  }
  return out;
}

std::string WatchPrinter::Event(const std::string& name, const std::string& data) const {
  json d = json::parse(data, nullptr, false);
  if (d.is_discarded() || !d.is_object()) return {};
  if (name == "cell")
    return std::to_string(d.value("n", 0)) + " " + ColumnHeading(d.value("col", -1)) + ": " +
           d.value("text", std::string()) + "\n";
  if (name == "grid") {
    // The picture as it stands when the watch begins, in the same lines.
    std::string out;
    for (const json& m : d.value("machines", json::array())) {
      const json cells = m.value("cells", json::array());
      for (size_t c = 0; c < cells.size(); ++c)
        if (cells[c].is_string())
          out += std::to_string(m.value("n", 0)) + " " + ColumnHeading(static_cast<int>(c)) + ": " +
                 cells[c].get<std::string>() + "\n";
    }
    return out;
  }
  if (name == "active") return "Aktiv: " + d.value("text", std::string()) + "\n";
  if (name == "notice")
    return "Melding [" + d.value("caption", std::string()) + "] " + d.value("text", std::string()) +
           "\n";
  return {};
}

}  // namespace zova::app
