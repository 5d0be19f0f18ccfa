#include "core/uihost.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>

#include "core/latin1.h"

namespace zova {

namespace {
std::atomic<UiHost*> g_host{nullptr};
std::mutex g_listenerMutex;
std::shared_ptr<const NoticeListener> g_listener;

void TellListener(std::string_view caption, std::string_view text) {
  std::shared_ptr<const NoticeListener> listener;
  {
    std::lock_guard lock(g_listenerMutex);
    listener = g_listener;
  }
  if (listener && *listener) (*listener)(caption, text);
}
}  // namespace

void SetNoticeListener(NoticeListener listener) {
  auto next = listener ? std::make_shared<const NoticeListener>(std::move(listener)) : nullptr;
  std::lock_guard lock(g_listenerMutex);
  g_listener = std::move(next);
}

UiHost* CurrentUiHost() {
  return g_host.load(std::memory_order_acquire);
}
void SetUiHost(UiHost* host) {
  g_host.store(host, std::memory_order_release);
}

void ShowNotice(std::string_view caption, std::string_view text) {
  try {
    TellListener(caption, text);
    if (UiHost* host = CurrentUiHost()) {
      host->ShowNotice(caption, text);
      return;
    }
    std::string line = Latin1ToUtf8(caption) + ": " + Latin1ToUtf8(text) + "\n";
    std::fputs(line.c_str(), stderr);
  } catch (...) {
  }
}

}  // namespace zova
