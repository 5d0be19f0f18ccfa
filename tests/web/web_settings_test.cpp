// Where the interface listens and when it must not start.

#include "web/web_settings.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace zova::web {
namespace {

TEST(WebSettings, OnlyLoopbackStartsWithoutAToken) {
  struct Case {
    const char* address;
    int port;
    const char* token;
    bool starts;
  } cases[] = {
      {"127.0.0.1", 8470, "", true},
      {"127.0.1.5", 8470, "", true},
      {"localhost", 8470, "", true},
      {"::1", 8470, "", true},
      {"0.0.0.0", 8470, "", false},
      {"192.168.1.20", 8470, "", false},
      {"192.168.1.20", 8470, "hemmelig", true},
      {"127.0.0.1", 0, "", false},
      {"127.0.0.1", 70000, "", false},
      {"127.0.0.1", -1, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.address) + ":" + std::to_string(c.port));
    EXPECT_EQ(WebRefusal({c.address, c.port, c.token}).empty(), c.starts);
  }
}

TEST(WebSettings, ReadFromProgramWithDefaults) {
  {
    test::ScopedIni ini("[Program]\n");
    WebSettings s = ReadWebSettings();
    EXPECT_EQ(s.address, "127.0.0.1");
    EXPECT_EQ(s.port, kDefaultWebPort);
    EXPECT_EQ(s.token, "");
    EXPECT_EQ(WebBaseUrl(s), "http://127.0.0.1:8470");
  }
  test::ScopedIni ini("[Program]\nWebAdresse=::1\nWebPort=9000\nWebToken= abc \n");
  WebSettings s = ReadWebSettings();
  EXPECT_EQ(s.token, "abc");
  EXPECT_EQ(WebBaseUrl(s), "http://[::1]:9000");
}

}  // namespace
}  // namespace zova::web
