#include "app/classify_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "support/test_support.h"

namespace zova {
namespace {

std::string Capture(const std::function<int(std::FILE*, std::FILE*)>& run, int& rc,
                    std::string& errText) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  rc = run(out, err);
  auto slurp = [](std::FILE* f) {
    std::string s;
    std::rewind(f);
    for (int ch; (ch = std::fgetc(f)) != EOF;) s += static_cast<char>(ch);
    std::fclose(f);
    return s;
  };
  errText = slurp(err);
  return slurp(out);
}

TEST(ClassifyCommand, ReportsEveryMode) {
  test::ScopedIni ini(
      "[Maskin1]\nHenteProgram=Parenteser\nMaxLengde=8\n"
      "[Maskin2]\nFilNavnProgram=True\nMaxHent=10\n");
  test::TempDir dir;
  test::WriteFile(dir / "prog.nc", "%\r\n(S)(DIR)(PART\xD8)\r\nG0X0\r\nM30\r\n%\r\n");
  test::WriteFile(dir / "req.nc", "%\r\n(F)(O1234)\r\nM30\r\n%\r\n");
  int rc = -1;
  std::string err;
  std::string out = Capture(
      [&](std::FILE* o, std::FILE* e) {
        return RunClassifyCommand({"1", dir / "prog.nc"}, o, e);
      },
      rc, err);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(err, "");
  EXPECT_EQ(out,
            "header: % (S)(DIR)(PART\xC3\x98) G0X0 M30 % \n"
            "fetch: 0000 found=0 firstpair=1 extended=0 askname=0\n"
            "save: DIR\\PART found=1 firstpair=1 extended=0 askname=0\n"
            "directory: 0000 found=0 firstpair=1 extended=0 askname=0\n"
            "print: 0000 found=0 firstpair=1 extended=0 askname=0\n"
            "tool: 0000 found=0 firstpair=1 extended=0 askname=0\n"
            "action: store as DIR\\PART.NC\n");

  out = Capture(
      [&](std::FILE* o, std::FILE* e) {
        return RunClassifyCommand({"1", dir / "req.nc"}, o, e);
      },
      rc, err);
  EXPECT_NE(out.find("fetch: O1234 found=1 firstpair=0 "), std::string::npos) << out;
  EXPECT_NE(out.find("action: send O1234.NC\n"), std::string::npos) << out;

  out = Capture(
      [&](std::FILE* o, std::FILE* e) {
        return RunClassifyCommand({"2", dir / "prog.nc"}, o, e);
      },
      rc, err);
  EXPECT_NE(out.find("header: % (S)(DIR)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("save: 0000 found=1 firstpair=1 extended=0 askname=1"), std::string::npos)
      << out;
}

TEST(ClassifyCommand, ActionSaysWhatTheStationWouldDo) {
  test::ScopedIni ini(
      "[Maskin1]\nDirFilType=FANUC\n"
      "[Maskin2]\nMakroProgram=PARENTESER\nLoggeFil=/nonexistent/x.sdv\n"
      "[Maskin3]\nToolProtokoll=STANDARD\nToolLagre=TOOLS\n");
  const struct {
    int machine;
    const char *head, *action;
  } cases[] = {
      {1, "% (P1) G0X0 G1 G2 G3 M30 %", "action: store as P1.NC"},
      {1, "% (O7)M30 %", "action: send O7.NC"},
      {1, "% (D)(SUB/P) %", "action: list SUB\\P*.NC"},
      {1, "% (P)(LISTE) X %", "action: print LISTE"},
      {2, "% (M)(3)(A) %", "action: macro"},
      {3, "% (TOOLS) T1 %", "action: tool data"},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyAction(c.machine, c.head), c.action) << c.head;
}

TEST(ClassifyCommand, BadArgumentsGiveOneLineAndCode2) {
  test::ScopedIni ini("[Maskin1]\n");
  test::TempDir dir;
  test::WriteFile(dir / "p.nc", "(A)");
  const std::vector<std::string> bad[] = {
      {"1", dir / "missing.nc"}, {"7", dir / "p.nc"}, {"x", dir / "p.nc"}, {"1"}, {},
  };
  for (const auto& args : bad) {
    int rc = -1;
    std::string err;
    std::string out = Capture(
        [&](std::FILE* o, std::FILE* e) { return RunClassifyCommand(args, o, e); }, rc, err);
    EXPECT_EQ(rc, 2);
    EXPECT_EQ(out, "");
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  }
}

}  // namespace
}  // namespace zova
