// Any path and body an HTTP client sends: the order parser never crashes, and
// what it accepts is within the limits the station relies on.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "web/order_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  // The first line is the path, the rest the body.
  const size_t nl = in.find('\n');
  const std::string_view path = in.substr(0, nl);
  const std::string_view body =
      nl == std::string_view::npos ? std::string_view() : in.substr(nl + 1);
  auto r = zova::web::ParseOrder(path, body);
  if (const auto* o = std::get_if<zova::web::OrderRequest>(&r)) {
    const bool stationWide = o->kind == zova::web::OrderKind::Logging;
    if (stationWide ? o->machine != 0 : (o->machine < 1 || o->machine > 100)) std::abort();
    if (o->text.size() > zova::web::kMaxOrderText) std::abort();
    for (unsigned char c : o->text)
      if (c < 32 || c == 127) std::abort();
  } else if (std::get<zova::web::OrderError>(r).text.empty()) {
    std::abort();
  }
  return 0;
}
