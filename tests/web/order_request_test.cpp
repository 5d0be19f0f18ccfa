// Orders as they arrive over HTTP: what each path and body becomes, and what
// is refused with which status.

#include "web/order_request.h"

#include <gtest/gtest.h>

#include "core/latin1.h"

namespace zova::web {
namespace {

TEST(ParseOrder, PathsAndBodiesBecomeOrders) {
  struct Case {
    const char* path;
    std::string body;
    OrderKind kind;
    int machine;
    std::string text;
    bool on;
  } cases[] = {
      {"/api/machines/1/file", R"({"name":"O1000.NC"})", OrderKind::Choose, 1, "O1000.NC", false},
      {"/api/machines/12/send", "", OrderKind::Send, 12, "", false},
      {"/api/machines/12/send", "{}", OrderKind::Send, 12, "", false},
      {"/api/machines/3/send", R"({"name":" SUB/P1.NC "})", OrderKind::Send, 3, "SUB/P1.NC", false},
      {"/api/machines/100/fetch", R"({"name":"O7"})", OrderKind::Fetch, 100, "O7", false},
      {"/api/machines/4/command", R"({"text":"STOPP ALLE"})", OrderKind::Command, 4, "STOPP ALLE",
       false},
      {"/api/machines/4/cancel", "", OrderKind::Cancel, 4, "", false},
      {"/api/machines/4/restart", "{}", OrderKind::Restart, 4, "", false},
      {"/api/machines/2/blokkvis", R"({"on":true})", OrderKind::Blokkvis, 2, "", true},
      {"/api/logging", R"({"on":false})", OrderKind::Logging, 0, "", false},
      // Names reach the station in its own Latin-1.
      {"/api/machines/1/file", R"({"name":"BRØNN.NC"})", OrderKind::Choose, 1, L1("BRØNN.NC"),
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " " + c.body);
    auto r = ParseOrder(c.path, c.body);
    ASSERT_TRUE(std::holds_alternative<OrderRequest>(r)) << std::get<OrderError>(r).text;
    const OrderRequest& o = std::get<OrderRequest>(r);
    EXPECT_EQ(o.kind, c.kind);
    EXPECT_EQ(o.machine, c.machine);
    EXPECT_EQ(o.text, c.text);
    EXPECT_EQ(o.on, c.on);
  }
}

TEST(ParseOrder, MalformedOrdersAreRefusedWithAText) {
  struct Case {
    const char* path;
    std::string body;
    int status;
  } cases[] = {
      {"/api/machines/0/send", "", 404},
      {"/api/machines/101/send", "", 404},
      {"/api/machines/-1/send", "", 404},
      {"/api/machines/1x/send", "", 404},
      {"/api/machines/1/format", "", 404},
      {"/api/machines/1", "", 404},
      {"/api/other", "", 404},
      {"/api/machines/1/file", "", 400},                        // no name
      {"/api/machines/1/file", R"({"name":""})", 400},          // empty name
      {"/api/machines/1/file", R"({"name":7})", 400},           // not text
      {"/api/machines/1/file", R"({"name":"A\u0007B"})", 400},  // control character
      {"/api/machines/1/file", "{bad", 400},
      {"/api/machines/1/file", "[1,2]", 400},
      {"/api/machines/1/file", "{\"name\":\"\xFF\"}", 400},  // not UTF-8
      {"/api/machines/1/blokkvis", "{}", 400},
      {"/api/machines/1/blokkvis", R"({"on":"yes"})", 400},
      {"/api/machines/1/file", R"({"name":")" + std::string(300, 'A') + R"("})", 400},
      {"/api/machines/1/send", std::string(kMaxOrderBody + 1, ' '), 413},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " " + c.body.substr(0, 40));
    auto r = ParseOrder(c.path, c.body);
    ASSERT_TRUE(std::holds_alternative<OrderError>(r));
    EXPECT_EQ(std::get<OrderError>(r).status, c.status);
    EXPECT_FALSE(std::get<OrderError>(r).text.empty());
  }
}

}  // namespace
}  // namespace zova::web
