#include "core/textfile.h"

#include <gtest/gtest.h>

#include "core/globals.h"
#include "support/test_support.h"

namespace zova {
namespace {

TEST(TextFile, OkFlagStopsTheChainAtTheFirstFailure) {
  test::TempDir dir;
  TextFile f;
  bool ok = true;
  OpenRead(dir / "missing.txt", f, ok);
  EXPECT_FALSE(ok);
  std::string line = "unchanged";
  ReadTextLine(f, line, ok);
  WriteTextLine(f, "x", ok);
  EXPECT_FALSE(ok);

  ok = true;
  OpenWrite(dir / "out.txt", f, ok);
  WriteTextLine(f, "G1", ok);
  WriteText(f, "G2", ok);
  int n = 8;
  WriteEmptyToolLines(f, 10, n, ok);
  CloseText(f, ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(n, 10);
  EXPECT_EQ(
      test::ReadFile(dir / "out.txt"),
      "G1\r\nG2T08 X0000.000 Z0000.000 R00.000 L0 \r\nT09 X0000.000 Z0000.000 R00.000 L0 \r\n");
}

TEST(TextFile, DebugNoticeOnAFailedOpen) {
  test::ScopedIni ini("[TextUtil]\r\nDebug=True\r\n");
  test::ScopedUiHost ui;
  Globals().Debug = true;
  TextFile f;
  bool ok = true;
  OpenRead("/proc/zova-none/x.nc", f, ok);
  Globals().Debug = false;
  ASSERT_EQ(ui.host.NoticeCount(), 1u);
  EXPECT_EQ(ui.host.Notices()[0].caption, "\xC5pne /proc/zova-none/x.nc");
  EXPECT_EQ(ui.host.Notices()[0].text.rfind("IOResult = ", 0), 0u);
}

TEST(TextFile, LinesEndingInCrLfOrBoth) {
  test::TempDir dir;
  test::WriteFile(dir / "in.txt",
                  "\r\n\r\nAB\rCD\n\nE\x01"
                  "F\r\n\r\nG");
  TextFile f;
  bool ok = true;
  OpenRead(dir / "in.txt", f, ok);
  char c = 13;
  std::vector<std::string> lines;
  std::string s;
  for (;;) {
    ReadTextLineCR(f, c, s, ok);
    if (!ok) break;
    lines.push_back(s);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"AB", "CD", "EF", "G"}));

  bool ok2 = true;
  TextFile g;
  OpenRead(dir / "in.txt", g, ok2);
  std::vector<std::string> plain;
  while (NotEof(g)) {
    ReadTextLine(g, s, ok2);
    plain.push_back(s);
  }
  EXPECT_EQ(plain.size(), 8u);
  EXPECT_EQ(plain[2], "AB");
  EXPECT_EQ(plain[3], "CD");
}

}  // namespace
}  // namespace zova
