#include "files/convert/convert_file.h"

#include <gtest/gtest.h>

#include "files/convert/file_format.h"
#include "support/test_support.h"

namespace zova {
namespace {

TEST(ReadFileFormat, ValuesAndUnknown) {
  struct {
    const char* value;
    int number;
  } cases[] = {{"standard", 0},      {"NJ", 1},        {"njbtr", 2},     {"NJNC", 3},
               {"KBGCNC2000", 3},    {"EMCO", 4},      {"NJCINCI", 5},   {"PROSENT", 6},
               {"HAKMO", 7},         {"OKUMA3000", 8}, {"KBGCNC200", 9}, {"KOMMENTARER", 10},
               {"SIEMENSCLEAR", 11}, {"KOPI", 12},     {"SMT", 13},      {"OKUMA5000", 14},
               {"Fanuc", 15}};
  for (const auto& c : cases) {
    test::ScopedIni ini(std::string("[Maskin1]\nFilFormat=") + c.value + "\n");
    test::ScopedUiHost ui;
    EXPECT_EQ(ReadFileFormat("Maskin1"), c.number) << c.value;
    EXPECT_EQ(ui.host.NoticeCount(), 0u);
  }
  test::ScopedIni ini("[Maskin1]\nFilFormat=fanuc2\n[Maskin2]\n");
  test::ScopedUiHost ui;
  EXPECT_EQ(ReadFileFormat("Maskin1"), 0);
  ASSERT_EQ(ui.host.NoticeCount(), 1u);
  EXPECT_EQ(ui.host.Notices()[0].caption, "Ugyldig filformat");
  EXPECT_EQ(ui.host.Notices()[0].text, "FANUC2");
  EXPECT_EQ(ReadFileFormat("Maskin2"), 0);
  EXPECT_EQ(ui.host.NoticeCount(), 1u);
}

TEST(ConvertFile, SuccessSendsTarget) {
  test::TempDir dir;
  test::WriteFile(dir / "P1.NC", "O1\r\nN1\r\n");
  std::string name = dir / "P1.NC";
  bool ok = false;
  ConvertFile(kFormatFanuc, false, name, ok, ".NC", dir.Path(), dir / "M1TX");
  EXPECT_TRUE(ok);
  EXPECT_EQ(name, dir / "M1TX");
  EXPECT_EQ(test::ReadFile(dir / "M1TX"), ":1\r\nN1\r\n");
  EXPECT_EQ(test::ReadFile(dir / "P1.NC"), "O1\r\nN1\r\n");
}

TEST(ConvertFile, MissingSourceOrTargetDirFails) {
  test::TempDir dir;
  std::string name = dir / "NONE.NC";
  bool ok = true;
  ConvertFile(kFormatNJ, false, name, ok, ".NC", dir.Path(), dir / "M1TX");
  EXPECT_FALSE(ok);
  EXPECT_EQ(name, dir / "NONE.NC");

  test::WriteFile(dir / "P1.NC", "N1\r\n");
  name = dir / "P1.NC";
  ok = true;
  ConvertFile(kFormatNJ, false, name, ok, ".NC", dir.Path(), dir / "NODIR/M1TX");
  EXPECT_FALSE(ok);
  EXPECT_EQ(name, dir / "P1.NC");
}

TEST(ConvertFile, FullDiskIsFailure) {
  test::TempDir dir;
  test::WriteFile(dir / "P1.NC", std::string(300000, 'N') + "\r\n");
  std::string name = dir / "P1.NC";
  bool ok = true;
  ConvertFile(kFormatFanuc, false, name, ok, ".NC", dir.Path(), "/dev/full");
  EXPECT_FALSE(ok);
  EXPECT_EQ(name, dir / "P1.NC");
  EXPECT_TRUE(test::Exists("/dev/full"));
}

TEST(ConvertFile, Okuma5000WithoutPercentSendsStoredFile) {
  test::TempDir dir;
  test::WriteFile(dir / "P1.NC", "O1\r\nN1\r\nN2\r\nN3\r\n");
  std::string name = dir / "P1.NC";
  bool ok = false;
  ConvertFile(kFormatOkuma5000, false, name, ok, ".NC", dir.Path(), dir / "M1TX");
  EXPECT_TRUE(ok);
  EXPECT_EQ(name, dir / "P1.NC");
  EXPECT_FALSE(test::Exists(dir / "M1TX"));
}

TEST(ConvertFile, Okuma3000TakesEditorStartCode) {
  test::ScopedIni ini("[Redigerer]\nStartKode=[DC2]%\n");
  const std::string& base = ini.Dir().Path();
  test::WriteFile(base + "P1.NC", "N1\n");
  std::string name = base + "P1.NC";
  bool ok = false;
  ConvertFile(kFormatOkuma3000, false, name, ok, ".NC", base, base + "M1TX");
  ASSERT_TRUE(ok);
  EXPECT_EQ(test::ReadFile(base + "M1TX"), std::string(3, '\0') + "\x12%N1\r\n" + '\0');
}

}  // namespace
}  // namespace zova
