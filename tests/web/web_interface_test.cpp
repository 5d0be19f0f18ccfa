// The interface in process, over real HTTP: an order reaches the driver the
// way the window's does (through the request record on the main thread), the
// token is required when set, and a machine's files stay inside its folders.

#include "web/web_interface.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "core/driver/protocol_table.h"
#include "core/mainthread.h"
#include "serial/ser2net_server.h"
#include "support/test_support.h"

namespace zova::web {
namespace {

// Takes its orders as a driver does and remembers the last fetch.
std::atomic<bool> g_fetched{false};
std::string g_fetchedName;

class TwoWayDriver : public TMsg {
 public:
  using TMsg::TMsg;
  void Execute() override {
    while (!Terminated()) {
      SyncFetchRequest();
      if (Request.Fetch && !g_fetched) {
        g_fetchedName = GetCell(kColFilnavn);
        g_fetched = true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
};

struct WebInterfaceTest : ::testing::Test {
  test::TempDir dir;
  uint16_t port = test::FreeLoopbackPort();
  QueueCallOver callOver;
  std::unique_ptr<test::ScopedIni> ini;
  std::unique_ptr<Station> station;
  std::unique_ptr<WebInterface> web;

  WebInterfaceTest() {
    RegisterDriver<TwoWayDriver>("TLSV2");
    MainThread::Install(&callOver);
    g_fetched = false;
  }
  ~WebInterfaceTest() override {
    web.reset();
    if (station) station->Close();
    station.reset();
    MainThread::Install(nullptr);
    UnregisterDriverClass("TLSV2");
  }
  void Start(const std::string& program = "") {
    std::filesystem::create_directories(dir / "M1");
    test::WriteFile(dir / "M1/O1000.NC", "%\r\nO1000\r\nM30\r\n%\r\n");
    test::WriteFile(dir / "secret.nc", "x");
    ini = std::make_unique<test::ScopedIni>(
        "[Program]\nMaskiner=2\nTemp=" + dir.Path() + "\nWebPort=" + std::to_string(port) + "\n" +
        program + "\n[Maskin1]\nProtokoll=LSV2\nKatalog=" + (dir / "M1/") +
        "\n[Maskin2]\nProtokoll=Ingen\n");
    station = std::make_unique<Station>();
    station->Start();
    web = WebInterface::Start(*station, ReadWebSettings());
    ASSERT_TRUE(web);
  }
  // Runs Request on a client thread while this (main) thread serves the
  // call-over, as the station's main loop does.
  httplib::Result Call(const std::function<httplib::Result(httplib::Client&)>& request) {
    std::optional<httplib::Result> result;
    std::atomic<bool> done{false};
    std::thread client([&] {
      httplib::Client c("127.0.0.1", port);
      result.emplace(request(c));
      done = true;
    });
    while (!done) callOver.WaitAndServe(5);
    client.join();
    return std::move(*result);
  }
  httplib::Result Post(const std::string& path, const std::string& body,
                       const httplib::Headers& headers = {}) {
    return Call(
        [&](httplib::Client& c) { return c.Post(path, headers, body, "application/json"); });
  }
};

TEST_F(WebInterfaceTest, AFetchReachesTheTwoWayMachinesDriver) {
  Start();
  auto r = Post("/api/machines/1/fetch", R"({"name":"O2000.NC"})");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200) << r->body;
  for (int i = 0; i < 2000 && !g_fetched; ++i) callOver.WaitAndServe(5);
  ASSERT_TRUE(g_fetched);
  EXPECT_EQ(g_fetchedName, "O2000.NC");

  r = Post("/api/machines/2/fetch", R"({"name":"O2000.NC"})");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 409) << "a machine without a driver fetches nothing: " << r->body;
}

TEST_F(WebInterfaceTest, FileNamesStayInsideTheMachinesFolders) {
  Start();
  struct Case {
    const char* name;
    int status;
  } cases[] = {{"O1000.NC", 200},
               {"o1000.nc", 200},
               {"../secret.nc", 403},
               {"/etc/passwd", 403},
               {"MANGLER.NC", 404}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto r = Post("/api/machines/1/file", std::string(R"({"name":")") + c.name + "\"}");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, c.status) << r->body;
  }
  EXPECT_EQ(station->Model().Cell(kColFilnavn, 1), "O1000.NC");
  auto files = Call([](httplib::Client& c) { return c.Get("/api/machines/1/files"); });
  ASSERT_TRUE(files);
  EXPECT_EQ(files->body, R"({"files":["O1000.NC"]})");
}

TEST_F(WebInterfaceTest, ATokenIsRequiredWhenOneIsSet) {
  Start("WebToken=hemmelig");
  auto r = Call([](httplib::Client& c) { return c.Get("/api/grid"); });
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 401);
  r = Call([](httplib::Client& c) {
    return c.Get("/api/grid", {{"Authorization", "Bearer feil"}});
  });
  EXPECT_EQ(r->status, 401);
  r = Call([](httplib::Client& c) {
    return c.Get("/api/grid", {{"Authorization", "Bearer hemmelig"}});
  });
  EXPECT_EQ(r->status, 200);
  r = Post("/api/machines/1/cancel", "{}");
  EXPECT_EQ(r->status, 401) << "orders too";
}

TEST_F(WebInterfaceTest, MalformedAndOversizedRequestsGetATextNotACrash) {
  Start();
  struct Case {
    std::string path, body;
    int status;
  } cases[] = {
      {"/api/machines/1/file", "{bad", 400},
      {"/api/machines/1/send", std::string(200 * 1024, 'x'), 413},
      {"/api/machines/0/send", "{}", 404},
      {"/api/nothing", "{}", 404},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    auto r = Post(c.path, c.body);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, c.status);
    EXPECT_NE(r->body.find("\"text\""), std::string::npos) << r->body;
  }
  auto r = Call([](httplib::Client& c) {
    return c.Get("/api/grid", {{"X-Long", std::string(20000, 'a')}});
  });
  ASSERT_TRUE(r);
  EXPECT_GE(r->status, 400) << "an oversized header is refused";
}

TEST_F(WebInterfaceTest, StopsAtOnceEvenRightAfterItStarted) {
  // A stop signal can come before the interface's loop has begun; a stop
  // that came first would be lost and the station would never end.
  Start();
  for (int i = 0; i < 20; ++i) {
    web.reset();
    web = WebInterface::Start(*station, ReadWebSettings());
    ASSERT_TRUE(web);
  }
}

}  // namespace
}  // namespace zova::web
