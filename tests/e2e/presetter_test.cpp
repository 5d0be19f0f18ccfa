// The presetter station through the real station and a simulated presetter:
// its measurement lines are stored in the tool register and the offset
// program of the station's ToolProtokoll is written from it.

#include <gtest/gtest.h>

#include "e2e/support/station_fixture.h"
#include "tools/register_file.h"

namespace zova::test {
namespace {

struct Presetter : StationFixture {
  std::string ini;
  void Configure(const std::string& keys) {
    ini = WriteIni(1, keys, "", OwnWebPort());
    UseProtocol(ini, "FORINST");
  }
};

TEST_F(Presetter, MeasuredToolsReachTheRegisterAndTheOffsetProgram) {
  Configure(
      "Forinnstiller=MICROSET\r\nSystem1=DIV2\r\nSystem2=RADIUS\r\nToolReg=" + (dir / "fres.reg") +
      "\r\nToolProtokoll=FANUC\r\nToolFil=" + (dir / "offset.nc") + "\r\n");
  auto presetter =
      Control(1,
              {"wait-open --timeout 30000", "wait 300",
               // One transmission: two tools, a diameter on a radius system, and a
               // line no parser reads.
               "preset-line \"T:5 SY:1 X(D):12,000 Z(L):123,4567[CR][LF]"
               "T:7 SY:1 X(D):20 Z(L):80[CR][LF]T:8 SY:2 X(D):20 Z(L):80[CR][LF]KALIBRERING OK\""},
              "presetter");
  auto station = Station(ini);
  Expect(*station, "1 Status: Mottar fra forinnstiller - 1");
  Expect(*station, "1 Melding: Ikke brukt: system 2 tar ikke diameter - T:8 SY:2");
  Expect(*station, "1 Melding: Ikke brukt: ulesbar linje - KALIBRERING OK");
  Expect(*station, "1 Filnavn: " + (dir / "offset.nc"));
  Expect(*station, "1 Status: Verkt\xC3\xB8ydata lagret");
  Expect(*station, "1 Melding: 2 verkt\xC3\xB8y lagret, 2 linjer ikke brukt");
  EXPECT_EQ(presetter->Wait(30000), 0) << presetter->Stderr();
  Stop(*station);

  const RegisterLoad load = LoadRegister(dir / "fres.reg", RecordKind::Tool);
  ASSERT_TRUE(load.ok()) << load.error;
  const std::vector<ToolRecord> tools = DecodeTools(load.records);
  ASSERT_EQ(tools.size(), 2u);
  EXPECT_EQ(tools[0].ToolNo, 5);
  EXPECT_NEAR(tools[0].L(), 123.4567, 1e-6);
  EXPECT_NEAR(tools[0].R(), 6, 1e-9) << "DIV2: the diameter halved";
  EXPECT_EQ(tools[1].ToolNo, 7);
  EXPECT_EQ(ReadFile(dir / "offset.nc"),
            "%\r\n:5007\r\nG10 G90 P05 R123457\r\nG10 G90 P25 R6000\r\n"
            "G10 G90 P07 R80000\r\nG10 G90 P27 R10000\r\nM30\r\n%\r\n");
}

TEST_F(Presetter, WithoutToolProtokollOnlyTheRegisterIsKept) {
  Configure("Forinnstiller=KELCH\r\nSystem3=OK\r\nToolReg3=" + (dir / "k.reg") + "\r\n");
  auto presetter = Control(1,
                           {"wait-open --timeout 30000", "wait 300",
                            "preset-tool kelch --tool 12 --system 3 --x 4,5 --z 99,9"},
                           "presetter");
  auto station = Station(ini);
  Expect(*station, "1 Melding: 1 verkt\xC3\xB8y lagret");
  EXPECT_EQ(presetter->Wait(30000), 0) << presetter->Stderr();
  Stop(*station);
  const RegisterLoad load = LoadRegister(dir / "k.reg", RecordKind::Tool);
  ASSERT_TRUE(load.ok()) << load.error;
  ASSERT_EQ(load.records.size(), 1u);
  EXPECT_NEAR(DecodeTool(load.records[0]).R(), 4.5, 1e-9) << "a radius, as KELCH says RAD";
  EXPECT_FALSE(Exists(MachineDir(1) + "VERKTOY.NC"));
}

}  // namespace
}  // namespace zova::test
