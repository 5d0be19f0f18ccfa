// The presetter station's decisions: its lines cut from the presetter's
// output, what each line becomes with the station's per-system keys, the
// register that keeps the tools and the offset program written from it.

#include <gtest/gtest.h>

#include "protocols/presetter/presetter_entry.h"
#include "protocols/presetter/presetter_lines.h"
#include "protocols/presetter/tforinst.h"
#include "support/test_support.h"
#include "tools/register_file.h"

namespace zova {
namespace {

std::vector<std::string> Cut(const std::string& bytes) {
  PresetterLines lines;
  std::vector<std::string> out;
  for (char ch : bytes)
    if (lines.Feed(ch)) out.push_back(lines.Line());
  if (lines.Finish()) out.push_back(lines.Line());
  return out;
}

TEST(PresetterLines, LinesOfATransmission) {
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"CR LF", "T:1 SY:1\r\nT:2 SY:1\r\n", {"T:1 SY:1", "T:2 SY:1"}},
      {"LF or CR alone", "A\nB\rC", {"A", "B", "C"}},
      {"empty lines are none", "\r\n\r\nA\r\n\r\n", {"A"}},
      {"control characters around the text",
       "\x02"
       "T:1\x03\x11\r\n\x00",
       {"T:1"}},
      {"a tab is a blank", "T:1\tSY:2\r\n", {"T:1 SY:2"}},
      {"the last line without its end", "A\r\nB", {"A", "B"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Cut(c.bytes), c.lines);
  }
}

TEST(PresetterLines, ALineThatNeverEndsStaysBounded) {
  PresetterLines lines;
  for (int i = 0; i < 100000; ++i) lines.Feed('X');
  ASSERT_TRUE(lines.Finish());
  EXPECT_LE(lines.Line().size(), 1024u);
}

TEST(ReadPresetterEntry, WhatEachLineBecomes) {
  test::ScopedIni ini(
      "[Maskin3]\n"
      "ToolReg=/R/FRES.REG\nNomReg=/R/NOM.REG\n"
      "System1=DIV2\n"
      "System2=DREI\nToolReg2=/R/DREI.REG\nSnuL2=True\nOffset2=100\n"
      "System3=RADIUS\n"
      "System4=FRES\nMaxTool4=40\n"
      "System5=OK\nProgDiv5=100\n"
      "System6=DIAMETER\nToolReg6=\nNomReg=\n");
  const struct {
    const char* line;
    bool used;
    int system;
    int tool, program;
    bool turning;
    double x, z;
    const char* reg;
  } cases[] = {
      // DIV2 halves a diameter into a radius.
      {"T:12 SY:1 X(D):25,004 Z(L):-150.2", true, 1, 12, 0, false, 12.502, -150.2, "/R/FRES.REG"},
      // DREI: a turning tool, the length's sign turned, the tool number offset.
      {"T:5 SY:2 X(D):40 Z(L):80.5", true, 2, 105, 0, true, 40, -80.5, "/R/DREI.REG"},
      // RADIUS takes no diameter.
      {"T:7 SY:3 X(D):10 Z(L):50", false, 3, 0, 0, false, 0, 0, ""},
      {"T:7 SY:3 X(R):5 Z(L):50", true, 3, 7, 0, false, 5, 50, "/R/FRES.REG"},
      // FRES ignores the radius; MaxTool4 bounds the tool number.
      {"T:40 SY:4 X(D):10 Z(L):50", true, 4, 40, 0, false, 0, 50, "/R/FRES.REG"},
      {"T:41 SY:4 X(D):10 Z(L):50", false, 4, 0, 0, false, 0, 0, ""},
      // ProgDiv5 100: tool 1205 is program 12, tool 5.
      {"T:1205 SY:5 X(D):8 Z(L):60", true, 5, 5, 12, false, 8, 60, "/R/FRES.REG"},
      // Unreadable, or a system without any setting.
      {"T:1 Z(L):5", false, 0, 0, 0, false, 0, 0, ""},
      {"garbage", false, 0, 0, 0, false, 0, 0, ""},
      {"T:1 SY:9 X(R):1 Z(L):1", false, 9, 0, 0, false, 0, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const PresetterEntry e = ReadPresetterEntry("Maskin3", 1, c.line);
    EXPECT_EQ(e.Used, c.used) << e.Reason;
    EXPECT_EQ(e.Used, e.Reason.empty());
    if (!c.used) continue;
    EXPECT_EQ(e.System, c.system);
    EXPECT_EQ(e.ToolNo, c.tool);
    EXPECT_EQ(e.ProgramNo, c.program);
    EXPECT_EQ(e.Turning, c.turning);
    EXPECT_NEAR(e.X, c.x, 1e-9);
    EXPECT_NEAR(e.Z, c.z, 1e-9);
    EXPECT_EQ(e.ToolReg, c.reg);
  }
}

TEST(ReadPresetterEntry, ASystemWithoutRegisterIsNotUsed) {
  test::ScopedIni ini("[Maskin3]\nSystem1=OK\n");
  const PresetterEntry e = ReadPresetterEntry("Maskin3", 1, "T:1 SY:1 X(R):1 Z(L):1");
  EXPECT_FALSE(e.Used);
  EXPECT_EQ(e.Reason, "system 1 har ikke ToolReg");
}

TEST(PresetterStation, AToolMeasuredAgainKeepsTheRestOfItsRecord) {
  test::TempDir dir;
  PresetterEntry e;
  e.Used = true;
  e.ToolReg = dir / "T.REG";
  e.ToolNo = 5;
  e.Z = 100;
  e.X = 4;
  std::string error;
  ASSERT_TRUE(TForInst::StoreEntry(e, error)) << error;
  {
    // Wear written by somebody else since.
    TToolRegister reg;
    ASSERT_EQ(reg.Open(e.ToolReg, RegisterMode::Write), kRegOk);
    RawRecord raw{};
    ASSERT_TRUE(reg.Read(reg.Find(5), raw));
    ToolRecord t = DecodeTool(raw);
    t.Reals[kDL] = 0.25;
    ASSERT_TRUE(reg.Write(reg.Find(5), EncodeTool(t)));
  }
  e.Z = 101.5;
  ASSERT_TRUE(TForInst::StoreEntry(e, error)) << error;
  e.ToolNo = 2;
  e.Z = 50;
  e.X = 3;
  ASSERT_TRUE(TForInst::StoreEntry(e, error)) << error;
  const RegisterLoad load = LoadRegister(e.ToolReg, RecordKind::Tool);
  ASSERT_TRUE(load.ok()) << load.error;
  const std::vector<ToolRecord> tools = DecodeTools(load.records);
  ASSERT_EQ(tools.size(), 2u);
  EXPECT_EQ(tools[0].ToolNo, 2) << "kept in tool-number order";
  EXPECT_EQ(tools[1].ToolNo, 5);
  EXPECT_NEAR(tools[1].L(), 101.5, 1e-6);
  EXPECT_NEAR(tools[1].R(), 4, 1e-6);
  EXPECT_NEAR(tools[1].Reals[kDL], 0.25, 1e-6);
}

TEST(PresetterStation, ARegisterThatCannotBeWrittenIsReported) {
  PresetterEntry e;
  e.Used = true;
  e.ToolReg = "/proc/no/such/dir/T.REG";
  std::string error;
  EXPECT_FALSE(TForInst::StoreEntry(e, error));
  EXPECT_NE(error.find("Feil ved lagring"), std::string::npos) << error;
}

}  // namespace
}  // namespace zova
