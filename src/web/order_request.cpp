#include "web/order_request.h"

#include <nlohmann/json.hpp>

#include "core/latin1.h"

namespace zova::web {

namespace {

using json = nlohmann::json;

struct Route {
  std::string_view name;
  OrderKind kind;
  const char* textKey;  // null: no text; the order takes none
  bool textRequired;
  bool switchOrder;
};

constexpr Route kMachineRoutes[] = {
    {"file", OrderKind::Choose, "name", true, false},
    {"send", OrderKind::Send, "name", false, false},
    {"fetch", OrderKind::Fetch, "name", true, false},
    {"command", OrderKind::Command, "text", true, false},
    {"cancel", OrderKind::Cancel, nullptr, false, false},
    {"restart", OrderKind::Restart, nullptr, false, false},
    {"blokkvis", OrderKind::Blokkvis, nullptr, false, true},
};

OrderError Bad(std::string text, int status = 400) {
  return {status, std::move(text)};
}

// "3" -> 3; anything else (signs, blanks, leading zeros aside) -> 0.
int MachineNumber(std::string_view s) {
  if (s.empty() || s.size() > 3) return 0;
  int n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= 100 ? n : 0;
}

std::variant<OrderRequest, OrderError> ReadBody(const Route& route, std::string_view body,
                                                OrderRequest order) {
  json doc = json::object();
  if (!body.empty()) {
    doc = json::parse(body, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) return Bad("Ugyldig JSON i ordren");
  }
  if (route.switchOrder) {
    auto it = doc.find("on");
    if (it == doc.end() || !it->is_boolean()) return Bad("Ordren mangler \"on\": true eller false");
    order.on = it->get<bool>();
    return order;
  }
  if (!route.textKey) return order;
  auto it = doc.find(route.textKey);
  if (it == doc.end() || it->is_null()) {
    if (route.textRequired) return Bad(std::string("Ordren mangler \"") + route.textKey + "\"");
    return order;
  }
  if (!it->is_string()) return Bad(std::string("\"") + route.textKey + L1("\" skal være tekst"));
  const std::string utf8 = it->get<std::string>();
  order.text = Trim(Utf8ToLatin1(utf8));
  if (order.text.size() > kMaxOrderText) return Bad("Teksten er for lang");
  for (unsigned char c : order.text)
    if (c < 32 || c == 127) return Bad("Teksten har kontrolltegn");
  if (order.text.empty() && route.textRequired)
    return Bad(std::string("\"") + route.textKey + "\" er tom");
  return order;
}

}  // namespace

std::variant<OrderRequest, OrderError> ParseOrder(std::string_view path, std::string_view body) {
  if (body.size() > kMaxOrderBody) return Bad("Ordren er for stor", 413);
  if (path == "/api/logging") {
    auto r = ReadBody({"logging", OrderKind::Logging, nullptr, false, true}, body, {});
    if (auto* o = std::get_if<OrderRequest>(&r)) o->kind = OrderKind::Logging;
    return r;
  }
  constexpr std::string_view kPrefix = "/api/machines/";
  if (path.substr(0, kPrefix.size()) != kPrefix) return Bad("Ukjent ordre", 404);
  std::string_view rest = path.substr(kPrefix.size());
  const size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return Bad("Ukjent ordre", 404);
  OrderRequest order;
  order.machine = MachineNumber(rest.substr(0, slash));
  if (order.machine == 0) return Bad("Ukjent maskin: " + Utf8ToLatin1(rest.substr(0, slash)), 404);
  const std::string_view name = rest.substr(slash + 1);
  for (const Route& route : kMachineRoutes) {
    if (route.name != name) continue;
    order.kind = route.kind;
    return ReadBody(route, body, order);
  }
  return Bad("Ukjent ordre", 404);
}

}  // namespace zova::web
