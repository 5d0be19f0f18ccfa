#include "core/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "core/file_settings.h"
#include "support/test_support.h"

namespace zova {
namespace {

TEST(PathHelpers, NamesAndExtensions) {
  EXPECT_EQ(ExtPos("O1000.NC"), 6);
  EXPECT_EQ(ExtPos("DIR.X\\O1000"), 0);
  EXPECT_EQ(ExtPos("dir.x/o1000"), 0);
  EXPECT_EQ(ExtPos("A.B.CDEFG"), 4);
  EXPECT_TRUE(HasShortExt("P.NC"));
  EXPECT_TRUE(HasShortExt("P.ABCD"));
  EXPECT_FALSE(HasShortExt("P.ABCDE"));
  EXPECT_FALSE(HasShortExt("P"));
  EXPECT_EQ(StripExt("C:\\A\\P.NC"), "C:\\A\\P");
  EXPECT_EQ(FileNameOf("C:\\A\\P.NC"), "P.NC");
  EXPECT_EQ(DirOf("/a/b/P.NC"), "/a/b/");
}

TEST(PathHelpers, AbsoluteDrivesAndPrefixes) {
  EXPECT_TRUE(IsAbsolutePath("C:\\ZOVA"));
  EXPECT_TRUE(IsAbsolutePath("\\\\SERVER\\SHARE"));
  EXPECT_TRUE(IsAbsolutePath("/srv/cnc"));
  EXPECT_FALSE(IsAbsolutePath("\\CNC"));
  EXPECT_FALSE(IsAbsolutePath("CNC\\P1"));
  EXPECT_EQ(DriveOrShare("C:\\ZOVA\\"), "C:");
  EXPECT_EQ(DriveOrShare("\\\\SERVER\\SHARE\\DIR"), "\\\\SERVER\\SHARE");
  EXPECT_EQ(DriveOrShare("/srv/cnc"), "");
  std::string base = "D:\\CNC\\FRES\\";
  PathPrefix("\\PROG\\P1", base);
  EXPECT_EQ(base, "D:");
  base = "D:\\CNC\\";
  PathPrefix("E:\\P1", base);
  EXPECT_EQ(base, "");
  base = "D:\\CNC\\";
  PathPrefix("SUB\\P1", base);
  EXPECT_EQ(base, "D:\\CNC\\");
  EXPECT_EQ(WithTrailingSep("/a/b"), "/a/b/");
  EXPECT_EQ(WithTrailingSep("C:\\A"), "C:\\A\\");
  EXPECT_EQ(JoinPath("/a/", "\\b"), "/a/b");
}

TEST(FsPath, FindsExistingComponentsCaseInsensitively) {
  test::TempDir dir;
  ::mkdir((dir / "Programmer").c_str(), 0777);
  ::mkdir((dir / "Programmer/Fres1").c_str(), 0777);
  test::WriteFile(dir / "Programmer/Fres1/o1000.nc", "x");
  std::string upper = dir.Path() + "PROGRAMMER\\FRES1\\O1000.NC";
  EXPECT_EQ(FsPath(upper), dir / "Programmer/Fres1/o1000.nc");
  EXPECT_TRUE(FileExists(upper));
  EXPECT_TRUE(DirExists(dir.Path() + "PROGRAMMER\\fres1\\"));
  // A new file keeps the spelling the station gives it.
  EXPECT_EQ(FsPath(dir.Path() + "PROGRAMMER\\FRES1\\NEW.NC"), dir / "Programmer/Fres1/NEW.NC");
  EXPECT_TRUE(ForceDirectories(dir.Path() + "PROGRAMMER\\NY\\UNDER"));
  EXPECT_TRUE(DirExists(dir / "Programmer/NY/UNDER"));
}

TEST(FsPath, DriveLettersAndShares) {
  test::TempDir dir;
  setenv("ZOVA_DRIVE_D", dir.Path().c_str(), 1);
  setenv("ZOVA_UNC_ROOT", "/mnt/shares", 1);
  ::mkdir((dir / "cnc").c_str(), 0777);
  EXPECT_EQ(FsPath("D:\\CNC\\P1.NC"), dir / "cnc/P1.NC");
  EXPECT_EQ(FsPath("d:/cnc"), dir / "cnc");
  EXPECT_EQ(FsPath("Q:\\X"), "/unmapped-drive-Q/X");
  EXPECT_EQ(FsPath("\\\\server\\share\\p"), "/mnt/shares/server/share/p");
  unsetenv("ZOVA_DRIVE_D");
  unsetenv("ZOVA_UNC_ROOT");
}

TEST(FileMasks, MatchLikeWindows) {
  struct {
    const char *mask, *name;
    bool match;
  } cases[] = {
      {"*.NC", "o1000.nc", true},
      {"*.NC", "o1000.nc.bak", false},
      {"O1???.NC", "O1234.NC", true},
      {"O1???.NC", "O12.NC", false},
      {"*", "x", true},
      {"*.*", "NOEXT", true},
      {"*A*B", "xxAyyB", true},
      {"*A*B", "xxAyyBz", false},
      {"aab", "AAB", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MaskMatches(c.mask, c.name), c.match) << c.mask << " " << c.name;
  test::TempDir dir;
  test::WriteFile(dir / "a.nc", "");
  test::WriteFile(dir / "b.NC", "");
  test::WriteFile(dir / "c.h", "");
  ::mkdir((dir / "d.nc").c_str(), 0777);
  EXPECT_EQ(ListFiles(dir.Path(), "*.nc"), (std::vector<std::string>{"a.nc", "b.NC"}));
  DeleteFiles(dir.Path() + "*.NC");
  EXPECT_EQ(ListFiles(dir.Path()), (std::vector<std::string>{"c.h"}));
}

}  // namespace
}  // namespace zova

namespace zova {
namespace {

TEST(MachineDataDir, AConfiguredDirectoryEndsWithItsSeparator) {
  // Names are appended to it: "/nc/m1" and "O1.NC" must not become "/NC/M1O1.NC".
  struct Case {
    const char* katalog;
    const char* dir;
  } cases[] = {{"/nc/m1", "/NC/M1/"},
               {"/nc/m1/", "/NC/M1/"},
               {"C:\\NC\\M1", "C:\\NC\\M1\\"},
               {"C:\\NC\\M1\\", "C:\\NC\\M1\\"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.katalog);
    test::ScopedIni ini(std::string("[Maskin1]\nKatalog=") + c.katalog + "\n");
    EXPECT_EQ(MachineDataDir(1), c.dir);
  }
}

}  // namespace
}  // namespace zova
