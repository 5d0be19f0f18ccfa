#include <gtest/gtest.h>

#include "core/clock.h"
#include "support/test_support.h"
#include "tools/offset_program.h"
#include "tools/offset_reader.h"
#include "tools/register_file.h"

namespace zova {
namespace {

class OffsetFiles : public ::testing::Test {
 protected:
  test::TempDir dir;
  ManualClock clock;
  ScopedClock scoped{clock};
  std::string reg = dir / "VERK.REG";

  void Tools(std::initializer_list<std::tuple<int, double, double>> tools) {
    TToolRegister r;
    ASSERT_EQ(r.Open(reg, RegisterMode::Write), kRegOk);
    for (auto [no, l, rad] : tools) {
      ToolRecord t;
      t.ToolNo = no;
      t.Reals[kL] = l;
      t.Reals[kR] = rad;
      ASSERT_TRUE(r.Store(EncodeTool(t)));
    }
  }
  OffsetRequest Request(int format) {
    OffsetRequest rq;
    rq.Settings.Format = format;
    rq.Keys.ToolReg = reg;
    rq.Target = dir / "TOL";
    return rq;
  }
};

TEST_F(OffsetFiles, HeidenhainRewritesToolDefLines) {
  Tools({{3, 12.5, 3}, {4, 20, 2}});
  test::WriteFile(dir / "P1.H",
                  "0 BEGIN PGM P1 MM\r\n1 TOOL DEF 3 L+0 R+0\r\n2 TOOL DEF  4 L+1\r\n"
                  "3 TOOL DEF 9 L+1 R+1\r\n4 TOOL CALL 3 Z S1000\r\n");
  OffsetRequest rq = Request(kToolHeidenhain);
  rq.SourceProgram = dir / "P1.H";
  rq.Keys.LOffset = 0.25;
  OffsetFileResult r = WriteOffsetProgram(rq);
  ASSERT_TRUE(r.Ok) << r.Error;
  EXPECT_FALSE(r.KeepOriginal);
  EXPECT_EQ(test::ReadFile(rq.Target),
            "0 BEGIN PGM P1 MM\r\n1 TOOL DEF 3 L+12,750 R+3,000\r\n2 TOOL DEF  4 L+20,250\r\n"
            "3 TOOL DEF 9 L+1 R+1\r\n4 TOOL CALL 3 Z S1000\r\n");
  rq.SourceProgram = dir / "MISSING.H";
  ASSERT_TRUE(WriteOffsetProgram(rq).Ok);
  EXPECT_EQ(test::ReadFile(rq.Target), "0 BEGIN PGM MISSING MM\r\n1 END PGM MISSING MM\r\n");
  rq.Keys.ToolReg = dir / "NONE.REG";
  OffsetFileResult none = WriteOffsetProgram(rq);
  EXPECT_TRUE(none.Ok);
  EXPECT_TRUE(none.KeepOriginal);
}

TEST_F(OffsetFiles, RegistersDecideTheResult) {
  OffsetRequest rq = Request(kToolFanuc);
  rq.Settings.ProgramNr = ":5007";
  rq.Keys.ToolReg = dir / "GONE.REG";  // a missing register is an empty one
  ASSERT_TRUE(WriteOffsetProgram(rq).Ok);
  EXPECT_EQ(test::ReadFile(rq.Target), "%\r\n:5007\r\n(INGEN DATA)\r\nM30\r\n%\r\n");
  test::WriteFile(reg, std::string(60, 'x'));
  rq.Keys.ToolReg = reg;
  OffsetFileResult damaged = WriteOffsetProgram(rq);
  EXPECT_FALSE(damaged.Ok);
  EXPECT_NE(damaged.Error, "");
  EXPECT_EQ(test::ReadFile(reg), std::string(60, 'x'));
  EXPECT_TRUE(WriteOffsetProgram(Request(kToolOriginal)).KeepOriginal);
  EXPECT_FALSE(WriteOffsetProgram(Request(kToolNone)).Ok);
  OffsetRequest bad = Request(30);
  bad.Keys.ToolReg = dir / "GONE.REG";
  bad.Target = dir / "no/dir/TOL";
  EXPECT_FALSE(WriteOffsetProgram(bad).Ok);
}

TEST(OffsetReader, ParsesTheProgramsControlsSendBack) {
  struct {
    const char* line;
    double mult;
    std::vector<std::tuple<int, int, double>> want;
  } cases[] = {
      {"G10 G90 L10 P001 R 100.500", 1, {{1, kL, 100.5}}},
      {"G10 G90 L13 P012 R-0.02", 1, {{12, kDR, -0.02}}},
      {"G10 L12 P5 R6000", 1000, {{5, kR, 6}}},
      {"G10L41T7E4.9H101", 1, {{7, kR, 4.9}, {7, kL, 101}}},
      {"G92 D6 D+80.750 P-0.100", 1, {{6, kL, 80.75}, {6, kR, -0.1}}},
      {"D3 P 0=10 P 1=+12,5 P 2=+3.000 P 3=0 P14=7", 1, {{3, kL, 12.5}, {3, kR, 3}}},
      {"#TN4 #I1=55.5 #I2=2", 1, {{4, kL, 55.5}, {4, kR, 2}}},
      {"N10 G01 X10", 1, {}},
      {"G10 G90 L10 P R", 1, {}},
  };
  for (const auto& c : cases) {
    auto got = ParseOffsetLine(c.line, c.mult);
    ASSERT_EQ(got.size(), c.want.size()) << c.line;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].ToolNo, std::get<0>(c.want[i])) << c.line;
      EXPECT_EQ(got[i].Real, std::get<1>(c.want[i])) << c.line;
      EXPECT_DOUBLE_EQ(got[i].Value, std::get<2>(c.want[i])) << c.line;
    }
  }
}

TEST_F(OffsetFiles, StoresProgramsIntoTheRegister) {
  Tools({{1, 10, 1}, {5, 50, 5}});
  test::WriteFile(dir / "IN.NC", "%\r\nG10L41T5E2.5H55\r\nG10L41T3E1H30\r\nM30\r\n");
  ASSERT_TRUE(StoreOffsetProgram(dir / "IN.NC", reg, false, 1, "Maskin1"));
  auto load = LoadRegister(reg, RecordKind::Tool);
  ASSERT_TRUE(load.ok());
  auto tools = DecodeTools(load.records);
  ASSERT_EQ(tools.size(), 3u);
  EXPECT_EQ(tools[1].ToolNo, 3);
  EXPECT_EQ(tools[2].L(), 55);
  EXPECT_EQ(tools[0].L(), 10);
  ASSERT_TRUE(StoreOffsetProgram(dir / "IN.NC", reg, true, 1, "Maskin1"));  // expired
  EXPECT_EQ(LoadRegister(reg, RecordKind::Tool).records.size(), 2u);

  test::ScopedUiHost ui;
  test::WriteFile(reg, std::string(7, 'x'));
  EXPECT_FALSE(StoreOffsetProgram(dir / "IN.NC", reg, false, 1, "Maskin1"));
  EXPECT_EQ(test::ReadFile(reg), std::string(7, 'x'));
  ASSERT_EQ(ui.host.NoticeCount(), 1u);
  EXPECT_EQ(ui.host.Notices()[0].text, "Feil ved lagring");
}

}  // namespace
}  // namespace zova
