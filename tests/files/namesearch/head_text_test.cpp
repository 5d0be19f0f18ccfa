#include <gtest/gtest.h>

#include <string>

#include "files/namesearch/head_text.h"

namespace zova {
namespace {

TEST(HeadText, OneBlankPerLineEnd) {
  struct {
    std::string text;
    size_t limit;
    const char* startNavn;
    const char* head;
  } cases[] = {
      {"%\r\n(p1)\r\nG0 X0\tY0\r\n", 100, "", "% (P1) G0X0Y0 "},
      {"\r\n\r\n%", 100, "", " %"},
      {std::string("A\0B", 3), 100, "", "AB"},
      {"ABCDEFGH", 4, "", "ABCD"},
      // Full at the limit: lines before StartNavn make room for more.
      {"AA\nBB\nO12\nCC\n", 6, "O", "O12 CC"},
      {"AAAA\nBB", 4, "X", " BB"},
      {"", 100, "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(HeadOfText(c.text, c.limit, c.startNavn), c.head);
}

}  // namespace
}  // namespace zova
