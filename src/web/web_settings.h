#pragma once
// Where the station's web interface listens and who may use it: [Program]
// WebAdresse (default the loopback address), WebPort (default 8470; 0 turns
// the interface off) and WebToken (a bearer token every request must carry;
// required for any address other than loopback).

#include <string>
#include <string_view>

namespace zova::web {

constexpr int kDefaultWebPort = 8470;

struct WebSettings {
  std::string address = "127.0.0.1";
  int port = kDefaultWebPort;
  std::string token;
};

WebSettings ReadWebSettings();

// 127.0.0.0/8, ::1 and "localhost".
bool IsLoopbackAddress(std::string_view address);

// Why the interface must not start (the text the station log gets), or
// empty when it may.
std::string WebRefusal(const WebSettings& settings);

// "http://ADDRESS:PORT" (an IPv6 address in brackets).
std::string WebBaseUrl(const WebSettings& settings);

}  // namespace zova::web
