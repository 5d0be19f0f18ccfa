#include "core/config/config.h"

#include <gtest/gtest.h>

#include "core/globals.h"
#include "support/test_support.h"

namespace zova {
namespace {

TEST(ConfigReads, TypedReadsAndDefaults) {
  test::ScopedIni ini(
      "[Program]\r\nA=yes\r\nB=1\r\nC=true\r\nD=12abc\r\nE=$10\r\nF=1.25\r\nG=1,5\r\n"
      "H=[CR][LF]\r\nI=x\r\nJ=[XON]\r\nK=xy\r\nL=[STX]A\r\nM=\r\nN=abc\r\n");
  EXPECT_FALSE(ReadIniBool("Program", "A", true));
  EXPECT_TRUE(ReadIniBool("Program", "B", false));
  EXPECT_TRUE(ReadIniBool("Program", "C", false));
  EXPECT_TRUE(ReadIniBool("Program", "Missing", true));
  EXPECT_FALSE(ReadIniBool("Program", "M", true));  // present but empty
  EXPECT_EQ(ReadIniInt("Program", "D", 7), 7);
  EXPECT_EQ(ReadIniInt("Program", "E", 7), 16);
  EXPECT_EQ(ReadIniInt("Program", "M", 7), 7);
  EXPECT_DOUBLE_EQ(ReadIniFloat("Program", "F", 0), 1.25);
  EXPECT_DOUBLE_EQ(ReadIniFloat("Program", "G", 2), 2);
  EXPECT_DOUBLE_EQ(ReadIniFloat("Program", "Missing", 1.5), 1.5);
  EXPECT_EQ(ReadIniStr("Program", "H", "", true), "\r\n");
  EXPECT_EQ(ReadIniStr("Program", "H", "", false), "[CR][LF]");
  EXPECT_EQ(ReadIniStr("Program", "Missing", "[EOT]", true), "\x04");
  EXPECT_EQ(ReadIniUpper("Program", "N", ""), "ABC");
  EXPECT_EQ(ReadIniStr("Program", "N", ""), "abc");
  EXPECT_EQ(ReadIniChar("Program", "I", '?'), 'X');
  EXPECT_EQ(ReadIniChar("Program", "J", '?'), '\x11');
  EXPECT_EQ(ReadIniChar("Program", "K", '?'), '?');
  bool present = false;
  CharSet set = ReadIniCharSet("Program", "L", "", present);
  EXPECT_TRUE(present);
  EXPECT_EQ(set.count(), 2u);
  EXPECT_TRUE(set.test(2));
  EXPECT_TRUE(set.test('A'));
  ReadIniCharSet("Program", "M", "", present);
  EXPECT_FALSE(present);
}

TEST(ConfigReads, WritesAreSeenByTheNextRead) {
  test::ScopedIni ini("[Program]\r\nLogging=False\r\n");
  EXPECT_FALSE(ReadIniBool("Program", "Logging", true));
  ASSERT_TRUE(WriteIniBool("Program", "Logging", true));
  EXPECT_TRUE(ReadIniBool("Program", "Logging", false));
  EXPECT_EQ(test::ReadFile(ini.Path()), "[Program]\r\nLogging=True\r\n");
}

TEST(ConfigReads, NoActiveFileWarnsAndGivesTheDefault) {
  test::ScopedUiHost ui;
  std::string saved = Globals().IniFil;
  Globals().IniFil.clear();
  EXPECT_EQ(ReadIniInt("Program", "Maskiner", 4), 4);
  Globals().IniFil = saved;
  ASSERT_EQ(ui.host.NoticeCount(), 1u);
  EXPECT_EQ(ui.host.Notices()[0].caption, "Advarsel");
  EXPECT_EQ(ui.host.Notices()[0].text,
            "Programfeil - ingen aktiv ini-fil:\r[Program], Maskiner = 4");
}

TEST(ConfigReads, MissingFileGivesDefaultsSilently) {
  test::ScopedIni ini("");
  test::ScopedUiHost ui;
  Globals().IniFil = ini.Dir() / "absent.ini";
  EXPECT_EQ(ReadIniStr("Program", "Ext", ".NC"), ".NC");
  EXPECT_EQ(ui.host.NoticeCount(), 0u);
}

}  // namespace
}  // namespace zova
