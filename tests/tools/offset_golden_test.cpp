// Every offset format on one register of three tools (tool 12 flagged; the
// turning register has tool 2 hidden), with the per-format defaults of the
// machine settings, compared byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "tools/offset_program.h"
#include "tools/tool_settings.h"

namespace zova {
namespace {

using namespace std::string_literals;

struct Golden {
  int format;
  std::string text;
};

const Golden kGolden[] = {
#include "offset_golden.inc"
};

OffsetJob JobFor(int format) {
  test::ScopedIni ini("[M]\nToolProtokoll=" + std::string(ToolFormatName(format)) +
                      "\nToolGrense=14\nLommer=8\nLOffset=0.5\nXOffset=-0.1\n");
  ToolFormatSettings s;
  ReadToolFormat("M", s);
  MachineToolKeys k = ReadMachineToolKeys("M");
  OffsetJob j;
  j.Format = s.Format;
  j.ProgramNr = s.ProgramNr;
  j.Limit = s.Limit;
  j.Pockets = s.Pockets;
  j.Mult = s.Mult;
  j.Decimals = s.Decimals;
  j.LOffset = k.LOffset;
  j.ROffset = k.ROffset;
  ToolRecord a, b, c;
  a.ToolNo = 1;
  a.Reals[kL] = 100.5;
  a.Reals[kR] = 5;
  b.ToolNo = 6;
  b.Reals[kL] = 80.2504;
  b.Reals[kR] = 0.0004;
  b.Reals[kDL] = 0.01;
  c.ToolNo = 12;
  c.Reals[kL] = 50;
  c.Reals[kR] = 6;
  c.Reals[kFlag] = 1;
  j.Tools = {a, b, c};
  TurnRecord t1, t2, t5, n1;
  t1.ToolNo = 1;
  t1.X = 10.5;
  t1.Z = -20.25;
  t1.NoseRadius = 0.2;
  t2.ToolNo = 2;
  t2.X = t2.Z = 1;
  t2.Hidden = 1;
  t5.ToolNo = 5;
  t5.X = 3;
  t5.Z = 50;
  t5.NoseRadius = 0.8;
  j.Turns = {t1, t2, t5};
  n1.ToolNo = 1;
  n1.NoseRadius = 0.4;
  n1.TipNo = 2;
  j.Nominal = {n1};
  return j;
}

TEST(OffsetFormats, EveryFormatOnThreeTools) {
  int covered = 0;
  for (const auto& g : kGolden) {
    OffsetResult r = BuildOffsetProgram(JobFor(g.format));
    EXPECT_TRUE(r.Ok) << g.format;
    EXPECT_EQ(r.Text, g.text) << "format " << g.format << " " << ToolFormatName(g.format);
    ++covered;
  }
  EXPECT_EQ(covered, kToolFormatCount - 4);  // all but 0, 5, 19 and 35
}

TEST(OffsetFormats, EmptyRegister) {
  for (int f = 1; f < kToolFormatCount; ++f) {
    if (f == 19) continue;
    OffsetJob j = JobFor(f);
    j.Tools.clear();
    j.Turns.clear();
    OffsetResult r = BuildOffsetProgram(j);
    bool expected = f == 3 || f == 4 || f == 15 || f == 29 || f == 33 || f == 35;
    EXPECT_EQ(r.Ok, expected) << f;
  }
  OffsetResult r = BuildOffsetProgram(JobFor(4));
  OffsetJob j = JobFor(4);
  j.Tools.clear();
  r = BuildOffsetProgram(j);
  EXPECT_EQ(r.Text, "%\r\n:5007\r\n(INGEN DATA)\r\nM30\r\n%\r\n");
  EXPECT_FALSE(BuildOffsetProgram(OffsetJob{}).Ok);  // format 0
}

TEST(OffsetFormats, EdgeCases) {
  OffsetJob j = JobFor(4);
  j.Pockets = 20;
  j.Limit = 32;
  j.Tools.resize(1);
  j.Tools[0].ToolNo = 5;
  j.Tools[0].Reals[kL] = 123.4567;
  j.Tools[0].Reals[kR] = 6;
  EXPECT_EQ(BuildOffsetProgram(j).Text,
            "%\r\n:5007\r\nG10 G90 P05 R123457\r\nG10 G90 P25 R6000\r\nM30\r\n%\r\n");
  j.Tools[0].ToolNo = 13;
  EXPECT_EQ(BuildOffsetProgram(j).Text, "%\r\n:5007\r\nG10 G90 P13 R123457\r\nM30\r\n%\r\n");
  j.Tools[0].ToolNo = 21;
  EXPECT_EQ(BuildOffsetProgram(j).Text, "%\r\n:5007\r\nM30\r\n%\r\n");

  OffsetJob h = JobFor(3);
  h.Limit = 5;
  h.Tools.resize(1);
  h.Tools[0].ToolNo = 1;
  h.Tools.push_back(h.Tools[0]);
  h.Tools[1].ToolNo = 4;
  h.Tools[1].Reals[kFlag] = 0;
  h.LOffset = h.ROffset = 0;
  EXPECT_EQ(BuildOffsetProgram(h).Text,
            "BEGIN TOOL MM\r\nT0 L+0,000 R+0,000\r\nT1 L+100,500 R+5,000\r\n"
            "T2 L+0,000 R+0,000\r\nT3 L+0,000 R+0,000\r\nT4 L+100,500 R+5,000\r\n"
            "T5 L+0,000 R+0,000\r\nEND TOOL MM\r\n");
  h.Limit = 2000000000;  // a typed-in limit does not run away
  EXPECT_LT(BuildOffsetProgram(h).Text.size(), 1000000u);

  OffsetJob e = JobFor(20);
  e.Turns.resize(1);
  e.Turns[0].ToolNo = 2000000000;  // a stray number fills no billion gaps
  EXPECT_LT(BuildOffsetProgram(e).Text.size(), 10000u);
  OffsetJob g = JobFor(4);
  g.Pockets = 2147483647;
  g.Limit = -2147483647;
  EXPECT_TRUE(BuildOffsetProgram(g).Ok);

  OffsetJob s = JobFor(10);
  s.Tools.resize(1);
  s.Tools[0].Reals[kR] = 0.001;
  EXPECT_NE(BuildOffsetProgram(s).Text.find(" D"), std::string::npos);
}

TEST(OffsetFormats, HessappReportsMissingSecondSpindle) {
  OffsetResult r = BuildOffsetProgram(JobFor(7));
  ASSERT_EQ(r.Warnings.size(), 2u);
  EXPECT_EQ(r.Warnings[0], "1: Mangler data for 2. spindel");
}

}  // namespace
}  // namespace zova
