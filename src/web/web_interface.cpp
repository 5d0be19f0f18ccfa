#include "web/web_interface.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <thread>

#include "core/latin1.h"
#include "core/mainthread.h"
#include "core/paths.h"
#include "core/station_log.h"
#include "core/uihost.h"
#include "web/grid_feed.h"
#include "web/order_apply.h"

namespace zova::web {

namespace {

using json = nlohmann::json;

constexpr int kKeepAliveMs = 15000;
constexpr size_t kMaxBody = 64 * 1024;

void SendJson(httplib::Response& res, int status, const std::string& body) {
  res.status = status;
  res.set_content(body, "application/json; charset=utf-8");
}

void SendText(httplib::Response& res, int status, const std::string& latin1) {
  SendJson(res, status, json{{"ok", status == 200}, {"text", Latin1ToUtf8(latin1)}}.dump());
}

std::vector<MachineKind> KindsOf(MachineSet& machines, int count) {
  std::vector<MachineKind> kinds(static_cast<size_t>(count) + 1);
  for (int n = 1; n <= count; ++n)
    kinds[static_cast<size_t>(n)] = {machines.HasDriver(n), machines.IsTwoWay(n),
                                     machines.IsCommand(n)};
  return kinds;
}

bool ReadPageFile(const std::string& path, std::string& body) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

const char* ContentType(const std::string& path) {
  if (EndsWithNoCase(path, ".html")) return "text/html; charset=utf-8";
  if (EndsWithNoCase(path, ".js")) return "text/javascript; charset=utf-8";
  if (EndsWithNoCase(path, ".css")) return "text/css; charset=utf-8";
  if (EndsWithNoCase(path, ".svg")) return "image/svg+xml";
  return "application/octet-stream";
}

}  // namespace

struct WebInterface::Impl {
  Station& station;
  WebSettings settings;
  GridFeed feed;
  httplib::Server server;
  std::thread thread;
  std::atomic<bool> stopping{false};
  std::atomic<bool> listenEnded{false};
  std::string pageDir = WebPageDir();

  Impl(Station& s, const WebSettings& w)
      : station(s), settings(w), feed(s.Model(), KindsOf(s.Machines(), s.Model().MachineCount())) {}

  bool Authorised(const httplib::Request& req) const {
    if (settings.token.empty()) return true;
    return req.get_header_value("Authorization") == "Bearer " + settings.token;
  }

  void Routes();
  void Order(const httplib::Request& req, httplib::Response& res);
  void Events(httplib::Response& res);
  void Page(const httplib::Request& req, httplib::Response& res);
};

void WebInterface::Impl::Order(const httplib::Request& req, httplib::Response& res) {
  auto parsed = ParseOrder(req.path, req.body);
  if (const auto* e = std::get_if<OrderError>(&parsed)) return SendText(res, e->status, e->text);
  const OrderRequest order = std::get<OrderRequest>(parsed);
  if (stopping) return SendText(res, 503, "Stasjonen stopper");
  OrderOutcome out{503, "Stasjonen stopper"};
  // The main thread carries it out, as it does the window's orders.
  MainThread::invoke([&] {
    if (!station.Closed()) out = CarryOut(station, order);
  });
  SendText(res, out.status, out.text);
}

void WebInterface::Impl::Events(httplib::Response& res) {
  auto watcher = feed.Subscribe();
  if (!watcher) return SendText(res, 503, "For mange som ser på");
  res.set_header("Cache-Control", "no-cache");
  res.set_header("X-Accel-Buffering", "no");
  res.set_chunked_content_provider(
      "text/event-stream",
      [this, watcher](size_t, httplib::DataSink& sink) {
        std::string events;
        if (!feed.Next(*watcher, kKeepAliveMs, events)) {
          sink.done();
          return true;
        }
        if (events.empty()) events = ": keep-alive\n\n";
        return sink.write(events.data(), events.size());
      },
      [this, watcher](bool) { feed.Unsubscribe(watcher); });
}

void WebInterface::Impl::Page(const httplib::Request& req, httplib::Response& res) {
  std::string name = req.path == "/" ? "index.html" : req.path.substr(1);
  // Only the page's own files: no folders, no climbing out.
  if (name.find('/') != std::string::npos || name.find("..") != std::string::npos ||
      pageDir.empty())
    return SendText(res, 404, "Finnes ikke");
  std::string body;
  if (!ReadPageFile(pageDir + name, body)) return SendText(res, 404, "Finnes ikke");
  res.set_content(body, ContentType(name));
}

void WebInterface::Impl::Routes() {
  server.set_payload_max_length(kMaxBody);
  server.set_read_timeout(5, 0);
  server.set_write_timeout(5, 0);
  server.new_task_queue = [] { return new httplib::ThreadPool(GridFeed::kMaxWatchers + 8); };
  // The page's own files hold nothing secret, and a browser cannot send a
  // token when it opens a page: only the interface asks for one.
  server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    if (req.path.rfind("/api/", 0) != 0 || Authorised(req))
      return httplib::Server::HandlerResponse::Unhandled;
    res.set_header("WWW-Authenticate", "Bearer");
    SendText(res, 401, "Mangler gyldig WebToken");
    return httplib::Server::HandlerResponse::Handled;
  });
  // What the library itself refuses (no length, a bad request line, too
  // large a body) still gets a text.
  server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (!res.body.empty()) return;
    SendText(res, res.status,
             res.status == 413   ? "Ordren er for stor"
             : res.status == 404 ? "Finnes ikke"
                                 : L1("Ugyldig forespørsel"));
  });
  server.set_exception_handler([](const httplib::Request&, httplib::Response& res,
                                  std::exception_ptr) { SendText(res, 500, "Intern feil"); });
  server.Get("/api/grid", [this](const httplib::Request&, httplib::Response& res) {
    SendJson(res, 200, feed.SnapshotJson());
  });
  server.Get("/api/notices", [this](const httplib::Request&, httplib::Response& res) {
    SendJson(res, 200, feed.NoticesJson());
  });
  server.Get("/api/events",
             [this](const httplib::Request&, httplib::Response& res) { Events(res); });
  server.Get(R"(/api/machines/(\d{1,3})/files)",
             [this](const httplib::Request& req, httplib::Response& res) {
               const int n = std::atoi(req.matches[1].str().c_str());
               if (n < 1 || n > feed.MachineCount())
                 return SendText(res, 404, "Ukjent maskin: " + req.matches[1].str());
               json names = json::array();
               for (const std::string& f : MachineFiles(n)) names.push_back(Latin1ToUtf8(f));
               SendJson(res, 200, json{{"files", names}}.dump());
             });
  server.Post(R"(/api/.*)",
              [this](const httplib::Request& req, httplib::Response& res) { Order(req, res); });
  server.Get(R"(/[A-Za-z0-9_.-]*)",
             [this](const httplib::Request& req, httplib::Response& res) { Page(req, res); });
}

WebInterface::WebInterface(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<WebInterface> WebInterface::Start(Station& station, const WebSettings& settings) {
  if (std::string why = WebRefusal(settings); !why.empty()) {
    LogStationWarning(why);
    return nullptr;
  }
  auto impl = std::make_unique<Impl>(station, settings);
  impl->Routes();
  std::string host = settings.address;
  if (UpperCase(host) == "LOCALHOST") host = "127.0.0.1";
  if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
  if (!impl->server.bind_to_port(host.c_str(), settings.port)) {
    LogStationWarning("nettgrensesnittet starter ikke: " + settings.address + ":" +
                      std::to_string(settings.port) + " er opptatt eller ugyldig");
    return nullptr;
  }
  Impl* raw = impl.get();
  SetNoticeListener([raw](std::string_view caption, std::string_view text) {
    raw->feed.AddNotice(caption, text);
  });
  impl->thread = std::thread([raw] {
    raw->server.listen_after_bind();
    raw->listenEnded = true;
  });
  // A stop before the loop runs would be lost: the loop would start after it
  // and never end.
  for (int i = 0; i < 400 && !impl->server.is_running() && !impl->listenEnded; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::unique_ptr<WebInterface> web(new WebInterface(std::move(impl)));
  web->url_ = WebBaseUrl(settings) + "/";
  LogStation("nettgrensesnittet: " + web->url_);
  return web;
}

WebInterface::~WebInterface() {
  SetNoticeListener(nullptr);
  impl_->stopping = true;
  impl_->feed.Close();
  std::atomic<bool> done{false};
  std::thread stopper([this, &done] {
    // Again until the loop has ended: a stop that came before it ran is lost.
    while (!impl_->listenEnded) {
      impl_->server.stop();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (impl_->thread.joinable()) impl_->thread.join();
    done = true;
  });
  // An HTTP thread may be waiting for the main thread with an order.
  while (!done) MainThread::ServeFor(50, [&] { return done.load(); });
  stopper.join();
}

std::string WebPageDir() {
  const std::string installed = ProgramDir() + "../share/zova/web/";
  if (FileExists(installed + "index.html")) return installed;
#ifdef ZOVA_SOURCE_WEB_DIR
  const std::string source = ZOVA_SOURCE_WEB_DIR "/";
  if (FileExists(source + "index.html")) return source;
#endif
  return {};
}

}  // namespace zova::web
