#include <gtest/gtest.h>

#include "core/latin1.h"
#include "support/test_support.h"
#include "tools/presetter.h"
#include "tools/tool_settings.h"
#include "tools/tool_template.h"

namespace zova {
namespace {

TEST(NumberAfter, ReadsTheNumberRightAfterTheLabel) {
  struct {
    const char* line;
    const char* label;
    bool ok;
    double value;
  } cases[] = {
      {"X(D):25,004 Z", "X(D):", true, 25.004},
      {"Z=+-0.5", "Z=", true, -0.5},
      {"Z=12.5-3", "Z=", true, -3},
      {"Z= 12", "Z=", false, 0},
      {"T12", "X", false, 0},
      {"X=", "X=", false, 0},
      {"X=+", "X=", false, 0},
      {"X=1.2.3", "X=", false, 0},
      {"T5 T6", "T", true, 5},
  };
  for (const auto& c : cases) {
    double v = -1;
    EXPECT_EQ(NumberAfter(c.line, c.label, v), c.ok) << c.line;
    EXPECT_DOUBLE_EQ(v, c.value) << c.line;
  }
}

TEST(ParsePresetterLine, EveryTypeOnATypicalLineAndWithoutItsLabels) {
  struct {
    int type;
    const char* line;
    int tool, second;
    bool dia;
    double x, z;
  } typical[] = {
      {1, "T:12 SY:2 X(D):25,004 Z(L):-150.2", 12, 2, true, 25.004, -150.2},
      {1, "T:3 SY:1 X(R):5 Z(L):80", 3, 1, false, 5, 80},
      {2, "T.#7 RX4.5 Z101.2", 7, 98, false, 4.5, 101.2},
      {2, "T.#7 Adapter-Nummer3 DX9 Z10", 7, 3, true, 9, 10},
      {3, "T4 M2 X=10 Z=99.5 D", 4, 2, true, 10, 99.5},
      {4, "T:9 X/D:20 Z/L:55", 9, 98, true, 20, 55},
      {5, "T6 G1 X=3.2 Z=40 RAD", 6, 1, false, 3.2, 40},
      {6, "TN:15 SG:3 Z:77.7 X=12 D", 15, 3, true, 12, 77.7},
      {7, "#21 X=6 Z=60", 21, 1, false, 6, 60},
      {8, "T:4 X(D)=16 Z(L)=120", 0, 4, true, 16, 120},
      {9, "tool:8 ref2 x=5 z=50", 8, 2, true, 5, 50},
      {10, "TNo.11 Ad.2 XAD20 ZAR100", 11, 2, true, 20, 100},
      {11, "T5 #3 X=8 Z=45", 5, 3, true, 8, 45},
      {12, "#2 X=4 Z=30", 0, 2, false, 4, 30},
      {13, "TN:0 SG:0 A:4 XR:2.5 Z:33", 0, 4, false, 2.5, 33},
      {14, "Tool12 Sys0 X=10 Y=50", 12, 1, true, 10, 50},
      {14, "Tool12 Sys2 R X=5 Z=70", 12, 2, false, 5, 70},
      {15, "T-no:0 Identno:W44 Ad:1 XD12 Z90", 44, 1, true, 12, 90},
      {16, "3 W0 T17 X=10 Z=20 DIA", 17, 3, true, 10, 20},
      {17, "T-NO.:31 #2 X15 Z65 AbsD", 31, 2, true, 15, 65},
  };
  for (const auto& c : typical) {
    PresetterReading p = ParsePresetterLine(c.type, c.line);
    EXPECT_TRUE(p.Ok) << c.line;
    EXPECT_EQ(p.ToolNo, c.tool) << c.line;
    EXPECT_EQ(p.SecondNo, c.second) << c.line;
    EXPECT_EQ(p.IsDiameter, c.dia) << c.line;
    EXPECT_DOUBLE_EQ(p.X, c.x) << c.line;
    EXPECT_DOUBLE_EQ(p.Z, c.z) << c.line;
  }
  for (int type = 1; type <= 17; ++type) {
    EXPECT_FALSE(ParsePresetterLine(type, "ingen merker her").Ok) << type;
    EXPECT_FALSE(ParsePresetterLine(type, "").Ok) << type;
  }
  EXPECT_FALSE(ParsePresetterLine(0, "T:1 SY:1 X(R):1 Z(L):1").Ok);
}

TEST(ApplySystem, TurnsReadingsIntoOffsets) {
  struct {
    const char* s;
    bool reverse, dia;
    double x;
    bool accepted, diaAfter, radius;
    double xAfter, zAfter;
  } cases[] = {
      {"DIV2", false, true, 25, true, false, true, 12.5, 10},
      {"FRES", false, true, 25, true, true, false, 0, 10},
      {"RADIUS", false, true, 25, false, true, true, 25, 10},
      {"DIAMETER", false, true, 25, true, true, false, 25, 10},
      {"DREI", true, true, 25, true, true, false, 25, -10},
      {"OK", false, false, 3, true, false, false, 3, 10},
      {"", false, false, 3, false, false, false, 3, 10},
  };
  for (const auto& c : cases) {
    bool dia = c.dia;
    double x = c.x, z = 10;
    SystemResult r = ApplySystemText(c.s, c.reverse, dia, x, z);
    EXPECT_EQ(r.Accepted, c.accepted) << c.s;
    EXPECT_EQ(dia, c.diaAfter) << c.s;
    EXPECT_EQ(r.IsRadius, c.radius) << c.s;
    EXPECT_DOUBLE_EQ(x, c.xAfter) << c.s;
    EXPECT_DOUBLE_EQ(z, c.zAfter) << c.s;
  }
  test::ScopedIni ini("[M]\nSystem2=div2\nToolReg=A.REG\nToolReg2=B.REG\nMaxTool2=40\n");
  bool dia = true;
  double x = 25, z = 1;
  SystemResult r = ApplySystem("M", 2, dia, x, z);
  EXPECT_TRUE(r.Accepted);
  EXPECT_EQ(r.ToolReg, "B.REG");
  EXPECT_EQ(r.NomReg, "");
  EXPECT_EQ(r.MaxTool, 40);
  EXPECT_DOUBLE_EQ(x, 12.5);
}

TEST(SplitProgramNumber, DividesAtProgDiv) {
  int32_t prog = -1, tool = 1205;
  SplitProgramNumberBy(100, false, prog, tool);
  EXPECT_EQ(prog, 12);
  EXPECT_EQ(tool, 5);
  tool = 1205;
  SplitProgramNumberBy(100, true, prog, tool);
  EXPECT_EQ(prog, 1205);
  EXPECT_EQ(tool, 0);
  tool = 99;
  SplitProgramNumberBy(100, false, prog, tool);
  EXPECT_EQ(prog, 0);
  EXPECT_EQ(tool, 99);
  tool = 1205;
  SplitProgramNumberBy(1, false, prog, tool);
  EXPECT_EQ(prog, 0);
  EXPECT_EQ(tool, 1205);
}

TEST(ReadToolFormat, PerFormatDefaults) {
  struct {
    const char* ini;
    int format;
    const char* programNr;
    double mult;
    int decimals, pockets, limit;
  } cases[] = {
      {"ToolProtokoll=Fanuc", 4, ":5007", 1000, 0, 20, 32},
      {"ToolProtokoll=standard", 5, "", 1, 3, 0, 0},
      {"ToolProtokoll=FANUCLENGDE", 15, ":5007", 1000, 0, 999, 999},
      {"ToolProtokoll=FANUC\nToolMult=0", 4, ":5007", 1, 3, 20, 32},
      {"ToolProtokoll=HEIDENHAINSENTRAL\nToolGrense=99\nMaksParm=50", 3, "", 1, 3, 0, 50},
      {"ToolProtokoll=SIEMENS840D", 39, "%_N_TO_TOA_INI", 1, 3, 0, 0},
      {"ToolProtokoll=ORGINAL", 35, "", 1, 3, 0, 0},
      {"ToolProtokoll=SIEMENS8M\nToolProgramNr=[NUL]X", 31, "", 1, 3, 60, 99},
  };
  for (const auto& c : cases) {
    test::ScopedIni ini(std::string("[Maskin1]\n") + c.ini + "\n");
    ToolFormatSettings s;
    ReadToolFormat("Maskin1", s);
    EXPECT_EQ(s.Format, c.format) << c.ini;
    if (c.format != 31) {
      EXPECT_EQ(s.ProgramNr, c.programNr) << c.ini;
    } else {
      EXPECT_EQ(s.ProgramNr, std::string("\0X", 2));  // bracket notation
    }
    EXPECT_EQ(s.Mult, c.mult) << c.ini;
    EXPECT_EQ(s.Decimals, c.decimals) << c.ini;
    EXPECT_EQ(s.Pockets, c.pockets) << c.ini;
    EXPECT_EQ(s.Limit, c.limit) << c.ini;
  }
  test::ScopedIni ini("[Maskin1]\nToolProtokoll=Siemens880\n");
  ToolFormatSettings s;
  ReadToolFormat("Maskin1", s);
  EXPECT_TRUE(s.NoToolKey);
  EXPECT_FALSE(s.NoToolFormat);
}

TEST(ReadToolFormat, UnknownValuesRaiseNotices) {
  test::ScopedIni ini("[M]\nToolProtokoll=fanuk\nForinstiller=zoller\nEtterBehandling=x\n");
  test::ScopedUiHost ui;
  ToolFormatSettings s;
  ReadToolFormat("M", s);
  EXPECT_EQ(s.Format, 0);
  EXPECT_TRUE(s.NoToolFormat);
  EXPECT_EQ(ReadPresetterType("M"), 3);
  EXPECT_EQ(ReadPostProcessing("M"), 0);
  auto n = ui.host.Notices();
  ASSERT_EQ(n.size(), 2u);
  EXPECT_EQ(n[0].caption, "M");
  EXPECT_EQ(n[0].text, L1("Ugyldig verktøyprotokoll: FANUK"));
  EXPECT_EQ(n[1].text, "Ugyldig etterbehandling: X");
  test::ScopedIni none("[M]\n");
  EXPECT_EQ(ReadPresetterType("M"), 0);
  EXPECT_EQ(ui.host.Notices().back().caption, "Ugyldig forinnstiller");
}

TEST(FormatToolLine, TemplateLanguage) {
  struct {
    const char* tmpl;
    int tool;
    double l, d;
    std::string out;
  } cases[] = {
      {"T#T3!T L#L4,3!L R#D4,3,0.5!D", 7, 123.4, 25, "T007 L0123.400 R0012.500"},
      {"T#T3!T L#L4,3!D", 7, 1, 2, "T007 L#L4,3!D"},  // no end tag: left as text
      {"#T!T", 12, 0, 0, "12"},
      {"X#Lx,2!L", 0, -1.5, 0, "X-1.50"},
      {"!T#T3", 1, 0, 0, "!T#T3"},
      {"#D0,1,2!D #D!D", 0, 0, 1.25, "2.5 #D!D"},  // each field once
      {"L#L99999,2!L", 0, 1, 0, "L" + std::string(255 - 4, '0') + "1.00"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatToolLine(c.tool, c.tmpl, c.l, c.d), c.out) << c.tmpl;
}

TEST(WriteTemplateProgram, EmptyRegisterWritesEmptyText) {
  std::string out;
  EXPECT_TRUE(BuildTemplateProgram({}, "%", "%\r\n(INGEN DATA)\n\r%", "%", "T#T2!T", out));
  EXPECT_EQ(out, "%\r\n(INGEN DATA)\n\r%");
  EXPECT_FALSE(BuildTemplateProgram({}, "%", "", "%", "T#T2!T", out));
  EXPECT_EQ(out, "%\r\n%\r\n");
  ToolRecord t;
  t.ToolNo = 3;
  t.Reals[kL] = 10;
  EXPECT_TRUE(BuildTemplateProgram({t}, "", "", "M30", "T#T2!T L#L0,1!L", out));
  EXPECT_EQ(out, "T03 L10.0\r\nM30\r\n");
}

}  // namespace
}  // namespace zova
