#pragma once
// An operator's order as it arrives over HTTP: the path names the machine
// and the order, the body (JSON) carries its text. Pure: no station, no
// files; the station checks the rest when it carries the order out.

#include <string>
#include <string_view>
#include <variant>

namespace zova::web {

enum class OrderKind { Choose, Send, Fetch, Command, Cancel, Restart, Blokkvis, Logging };

struct OrderRequest {
  OrderKind kind = OrderKind::Send;
  int machine = 0;   // 1..100; 0 for station-wide orders
  std::string text;  // Latin-1: a file name, a program name or a command
  bool on = false;   // the switches
};

struct OrderError {
  int status = 400;
  std::string text;  // Latin-1, for the operator
};

// Longest body and text an order may carry.
constexpr size_t kMaxOrderBody = 16 * 1024;
constexpr size_t kMaxOrderText = 255;

// Paths: /api/machines/N/{file,send,fetch,command,cancel,restart,blokkvis}
// and /api/logging. Bodies: {"name": ...} for file and fetch, optional for
// send; {"text": ...} for command; {"on": true|false} for the switches.
std::variant<OrderRequest, OrderError> ParseOrder(std::string_view path, std::string_view body);

}  // namespace zova::web
