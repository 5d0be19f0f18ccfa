#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "app/tool_commands.h"
#include "core/clock.h"
#include "support/test_support.h"
#include "tools/register_file.h"

namespace zova {
namespace {

struct Captured {
  std::FILE* f = std::tmpfile();
  ~Captured() { std::fclose(f); }
  std::string Text() {
    std::fflush(f);
    std::rewind(f);
    std::string s;
    for (int c; (c = std::fgetc(f)) != EOF;) s.push_back(static_cast<char>(c));
    return s;
  }
};

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    TToolRegister r;
    ASSERT_EQ(r.Open(reg, RegisterMode::Write), kRegOk);
    ToolRecord t;
    t.ToolNo = 3;
    t.Reals[kL] = 12.34567;
    t.Reals[kR] = -2;
    ASSERT_TRUE(r.Store(EncodeTool(t)));
  }
  test::TempDir dir;
  ManualClock clock;
  ScopedClock scoped{clock};
  std::string reg = dir / "VERK.REG";
  Captured out, err;
};

TEST_F(Commands, RegisterListsOneToolALine) {
  EXPECT_EQ(RunRegisterCommand({reg}, out.f, err.f), 0);
  EXPECT_EQ(out.Text(), "3 12.3457 -2.0000 0.0000 0.0000 0.0000 0.0000 0.0000 0.0000\n");
  test::WriteFile(reg, "short");
  EXPECT_EQ(RunRegisterCommand({reg}, out.f, err.f), 2);
  std::string e = err.Text();
  EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1);
}

TEST_F(Commands, OffsetsWritesTheMachinesProgram) {
  test::ScopedIni ini("[Maskin2]\nToolProtokoll=MAZATROLMPLUS\nToolReg=" + reg + "\n");
  EXPECT_EQ(RunOffsetsCommand({"2"}, out.f, err.f), 0);
  EXPECT_EQ(out.Text(), "%\r\nG10L41T3E-2.000H12.346\r\n\r\n");
  EXPECT_EQ(RunOffsetsCommand({"2", dir / "OUT.NC"}, out.f, err.f), 0);
  EXPECT_EQ(test::ReadFile(dir / "OUT.NC"), "%\r\nG10L41T3E-2.000H12.346\r\n\r\n");
  EXPECT_EQ(RunOffsetsCommand({"1"}, out.f, err.f), 2);  // no tool format
  EXPECT_EQ(RunOffsetsCommand({"x"}, out.f, err.f), 2);
  EXPECT_EQ(RunOffsetsCommand({}, out.f, err.f), 2);
}

}  // namespace
}  // namespace zova
