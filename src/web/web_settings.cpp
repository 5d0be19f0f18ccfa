#include "web/web_settings.h"

#include "core/config/config.h"
#include "core/latin1.h"

namespace zova::web {

WebSettings ReadWebSettings() {
  WebSettings s;
  s.address = Trim(ReadIniStr("Program", "WebAdresse", s.address));
  if (s.address.empty()) s.address = "127.0.0.1";
  s.port = ReadIniInt("Program", "WebPort", kDefaultWebPort);
  s.token = Trim(ReadIniStr("Program", "WebToken", ""));
  return s;
}

bool IsLoopbackAddress(std::string_view address) {
  return address == "::1" || address == "[::1]" || UpperCase(address) == "LOCALHOST" ||
         address.rfind("127.", 0) == 0;
}

std::string WebRefusal(const WebSettings& s) {
  if (s.port == 0) return L1("nettgrensesnittet er slått av (WebPort=0)");
  if (s.port < 0 || s.port > 65535)
    return "nettgrensesnittet starter ikke: ugyldig WebPort " + std::to_string(s.port);
  if (!IsLoopbackAddress(s.address) && s.token.empty())
    return "nettgrensesnittet starter ikke: WebAdresse " + s.address +
           " er ikke lokal, og WebToken mangler";
  return {};
}

std::string WebBaseUrl(const WebSettings& s) {
  const bool v6 = s.address.find(':') != std::string::npos && s.address.front() != '[';
  return "http://" + (v6 ? "[" + s.address + "]" : s.address) + ":" + std::to_string(s.port);
}

}  // namespace zova::web
