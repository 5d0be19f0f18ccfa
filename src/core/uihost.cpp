#include "core/uihost.h"

#include <atomic>
#include <cstdio>

#include "core/latin1.h"

namespace zova {

namespace {
std::atomic<UiHost*> g_host{nullptr};
}  // namespace

UiHost* CurrentUiHost() {
  return g_host.load(std::memory_order_acquire);
}
void SetUiHost(UiHost* host) {
  g_host.store(host, std::memory_order_release);
}

void ShowNotice(std::string_view caption, std::string_view text) {
  try {
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
