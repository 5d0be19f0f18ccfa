#include "core/config/profile_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/config/profile_text.h"
#include "support/test_support.h"

namespace zova {
namespace {

TEST(ProfileText, LooksUpWithWindowsSemantics) {
  ProfileText p(
      "; comment\r\n"
      "Orphan=1\r\n"
      "[Program]\r\n"
      "  Maskiner = 3  \r\n"
      "maskiner=9\r\n"
      "Navn=\"  Fres 1 \"\r\n"
      "Half=\"x\r\n"
      "Empty=\r\n"
      "NoEquals\r\n"
      ";Hidden=1\r\n"
      "[program]\r\n"
      "Late=1\r\n"
      "[ Maskin1 ]\r\n"
      "Protokoll=LSV2\r\n");
  struct {
    const char *section, *key;
    std::optional<std::string> value;
  } cases[] = {
      {"Program", "Maskiner", "3"}, {"PROGRAM", "MASKINER", "3"}, {"Program", "Navn", "  Fres 1 "},
      {"Program", "Half", "\"x"},   {"Program", "Empty", ""},     {"Program", "NoEquals", {}},
      {"Program", "Hidden", {}},    {"Program", "Late", {}},      {"Maskin1", "Protokoll", "LSV2"},
      {"Program", "Orphan", {}},    {"Nothing", "Maskiner", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(p.Get(c.section, c.key), c.value) << c.section << c.key;
}

TEST(ProfileText, WriteChangesOnlyItsLine) {
  const std::string original =
      "; top comment\r\n[Program]\r\nLogging = False ; trailing\r\n\r\n; between\r\n[Maskin1]\r\n"
      "Port=COM1\r\n\r\n";
  ProfileText p(original);
  p.Set("program", "LOGGING", "True");
  EXPECT_EQ(p.Text(),
            "; top comment\r\n[Program]\r\nLogging=True\r\n\r\n; between\r\n[Maskin1]\r\n"
            "Port=COM1\r\n\r\n");
  p.Set("Maskin1", "Baud", "9600");
  EXPECT_EQ(p.Get("Maskin1", "Baud"), "9600");
  EXPECT_NE(p.Text().find("Port=COM1\r\nBaud=9600\r\n\r\n"), std::string::npos);
  p.Set("COM1", "Blokkvis", "True");
  EXPECT_TRUE(p.Text().ends_with("\r\n\r\n[COM1]\r\nBlokkvis=True\r\n")) << p.Text();
  EXPECT_EQ(p.Text().substr(0, 15), "; top comment\r\n");
}

TEST(ProfileText, KeepsLfLineEnds) {
  ProfileText p("[A]\nx=1\n");
  p.Set("A", "y", "2");
  EXPECT_EQ(p.Text(), "[A]\nx=1\ny=2\n");
}

TEST(ProfileFile, ReadsSeeWritesOfAnotherProcess) {
  test::TempDir dir;
  std::string path = dir / "Zova.ini";
  test::WriteFile(path, "[Program]\r\nCount=0\r\n");
  ProfileFile& file = ProfileAt(path);
  ASSERT_EQ(file.Read("Program", "Count"), "0");
  constexpr int kWrites = 40;
  pid_t child = fork();
  if (child == 0) {
    // The child writes through its own object, as another station process would.
    ProfileFile other(path);
    bool ok = true;
    for (int i = 1; i <= kWrites; ++i) {
      ok = other.Write("Program", "Count", std::to_string(i)) && ok;
      ok = other.Write("Child", "Key" + std::to_string(i), "v") && ok;
    }
    _exit(ok ? 0 : 1);
  }
  // Meanwhile this process writes keys of its own: none may be lost.
  for (int i = 1; i <= kWrites; ++i)
    ASSERT_TRUE(file.Write("Parent", "Key" + std::to_string(i), "p"));
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(file.Read("Program", "Count"), std::to_string(kWrites));
  for (int i = 1; i <= kWrites; ++i) {
    EXPECT_EQ(file.Read("Child", "Key" + std::to_string(i)), "v") << i;
    EXPECT_EQ(file.Read("Parent", "Key" + std::to_string(i)), "p") << i;
  }
}

TEST(ProfileFile, KeepsTheEncodingItWasReadIn) {
  test::TempDir dir;
  std::string utf8 = dir / "utf8.ini", latin1 = dir / "latin1.ini";
  test::WriteFile(utf8, "[Program]\nNavn=Verkt\xC3\xB8y\n");
  test::WriteFile(latin1, "[Program]\nNavn=Verkt\xF8y\n");
  ProfileFile a(utf8), b(latin1);
  EXPECT_EQ(a.Read("Program", "Navn"), "Verkt\xF8y");
  EXPECT_EQ(b.Read("Program", "Navn"), "Verkt\xF8y");
  ASSERT_TRUE(a.Write("Program", "Ny", "\xC5"));
  ASSERT_TRUE(b.Write("Program", "Ny", "\xC5"));
  EXPECT_EQ(test::ReadFile(utf8), "[Program]\nNavn=Verkt\xC3\xB8y\nNy=\xC3\x85\n");
  EXPECT_EQ(test::ReadFile(latin1), "[Program]\nNavn=Verkt\xF8y\nNy=\xC5\n");
}

TEST(ProfileFile, MissingFileGivesNothingAndWriteCreatesIt) {
  test::TempDir dir;
  ProfileFile f(dir / "new.ini");
  EXPECT_FALSE(f.Read("Program", "X").has_value());
  ASSERT_TRUE(f.Write("Program", "X", "1"));
  EXPECT_EQ(f.Read("Program", "X"), "1");
  ProfileFile readonly("/proc/zova-no-such-dir/x.ini");
  EXPECT_FALSE(readonly.Write("Program", "X", "1"));
}

}  // namespace
}  // namespace zova
