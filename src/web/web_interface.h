#pragma once
// The station's HTTP interface: the grid, live changes as server-sent events,
// the notices, the machines' files and the operator's orders, for the web
// page and `zova ctl`. It runs on threads of its own; it reads the grid from
// its own copy and gives every order to the main thread, so a slow or
// vanished browser never holds up a driver or the main thread.
//
//   GET  /api/grid, /api/notices, /api/events, /api/machines/N/files
//   POST /api/machines/N/{file,send,fetch,command,cancel,restart,blokkvis},
//        /api/logging
//   GET  / and the page's files

#include <memory>
#include <string>

#include "core/station.h"
#include "web/web_settings.h"

namespace zova::web {

class WebInterface {
 public:
  // Main thread, after the station has started its machines. Logs where it
  // listens, or why it does not, and then returns null.
  static std::unique_ptr<WebInterface> Start(Station& station, const WebSettings& settings);
  // Main thread, before the station closes: serves the call-over while the
  // HTTP threads finish, so an order in flight is not left waiting.
  ~WebInterface();

  const std::string& Url() const { return url_; }

  struct Impl;

 private:
  explicit WebInterface(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
  std::string url_;
};

// The folder the page's files are served from: beside an installed program
// (../share/zova/web) or, in a build tree, the source folder.
std::string WebPageDir();

}  // namespace zova::web
