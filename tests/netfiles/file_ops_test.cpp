#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "core/error_text.h"
#include "core/paths.h"
#include "netfiles/file_ops.h"
#include "support/test_support.h"

namespace zova {
namespace {

using test::ReadFile;
using test::WriteFile;

// Makes every write beyond Limit bytes fail with EFBIG for the life of the object.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r = old_;
    r.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &r);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST(SafeCopy, CopiesBytesExactly) {
  test::TempDir d;
  std::string data;
  for (int i = 0; i < 70000; ++i) data += static_cast<char>(i * 7);
  WriteFile(d / "src.bin", data);
  std::string error;
  uint64_t bytes = 0;
  ASSERT_TRUE(SafeCopyFile(d / "src.bin", d / "dst.bin", error, &bytes)) << error;
  EXPECT_EQ(ReadFile(d / "dst.bin"), data);
  EXPECT_EQ(bytes, data.size());
  EXPECT_EQ(RegularFiles(d.Path()).size(), 2u);  // no temporary left over
}

TEST(SafeCopy, FailureHalfWayKeepsTargetAndSource) {
  test::TempDir d;
  std::string big(200000, 'N');
  WriteFile(d / "src.nc", big);
  WriteFile(d / "dst.nc", "the old program");
  std::string error;
  {
    FileSizeLimit limit(100000);
    EXPECT_FALSE(SafeCopyFile(d / "src.nc", d / "dst.nc", error));
  }
  EXPECT_EQ(error, ErrorText(EFBIG, ErrorContext::FileCopy));
  EXPECT_EQ(ReadFile(d / "dst.nc"), "the old program");
  EXPECT_EQ(ReadFile(d / "src.nc"), big);
  EXPECT_EQ(RegularFiles(d.Path()).size(), 2u);
}

TEST(SafeCopy, MissingSourceGivesSystemText) {
  test::TempDir d;
  std::string error;
  EXPECT_FALSE(SafeCopyFile(d / "none", d / "dst", error));
  EXPECT_EQ(error, ErrorText(ENOENT, ErrorContext::FileCopy));
  EXPECT_FALSE(MoveFileOver(d / "none", d / "dst", error));
}

TEST(Backups, DirectoryRotationKeepsNGenerations) {
  test::TempDir d;
  std::string dir = d / "prog/";
  ForceDirectories(dir);
  std::string error;
  for (int gen = 1; gen <= 4; ++gen) {
    WriteFile(dir + "F.NC", "gen" + std::to_string(gen));
    ASSERT_TRUE(RotateDirBackups(dir, 3, error)) << error;
  }
  EXPECT_EQ(ReadFile(dir + "Backup1/F.NC"), "gen4");
  EXPECT_EQ(ReadFile(dir + "Backup3/F.NC"), "gen2");
  EXPECT_FALSE(DirExists(dir + "Backup4"));
  EXPECT_TRUE(RegularFiles(dir).empty());
}

TEST(Backups, FileBackupRule) {
  test::TempDir d;
  ForceDirectories(d / "bk");
  std::string error;
  for (int gen = 1; gen <= 3; ++gen) {
    WriteFile(d / "PROG.NC", "v" + std::to_string(gen));
    ASSERT_TRUE(BackupFile(d / "PROG.NC", 2, d / "bk/", error)) << error;
    EXPECT_FALSE(test::Exists(d / "PROG.NC"));
  }
  EXPECT_EQ(ReadFile(d / "bk/PROG.001"), "v3");
  EXPECT_EQ(ReadFile(d / "bk/PROG.002"), "v2");
  EXPECT_FALSE(test::Exists(d / "bk/PROG.003"));
  WriteFile(d / "PROG.NC", "v4");
  ASSERT_TRUE(BackupFile(d / "PROG.NC", 2, d / "missing/", error));  // no backup directory
  EXPECT_TRUE(test::Exists(d / "PROG.NC"));
}

}  // namespace
}  // namespace zova
