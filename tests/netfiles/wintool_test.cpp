#include <gtest/gtest.h>

#include "core/latin1.h"
#include "core/paths.h"
#include "net_fixture.h"
#include "netfiles/file_ops.h"
#include "netfiles/twintool.h"

namespace zova {
namespace {

using test::Exists;
using test::Put;
using test::ReadFile;

struct WinToolTest : ::testing::Test {
  explicit WinToolTest(const std::string& keys = "")
      : m("Protokoll=WINTOOL\nKatalog=@D@pc/\nKatalog2=@D@back/\nCNCKatalog=@D@cnc/\nExt=.NC\n" +
          keys) {
    for (const char* d : {"pc", "back", "cnc"}) ForceDirectories(m.dir / d);
    m.request.SharedText = std::make_shared<std::string>();
  }
  std::string Pc(const std::string& rel) { return m.dir / ("pc/" + rel); }
  std::string Back(const std::string& rel) { return m.dir / ("back/" + rel); }
  std::string Cnc(const std::string& rel) { return m.dir / ("cnc/" + rel); }
  TWinTool& Driver() {
    if (!driver) driver = std::make_unique<TWinTool>(m.links, m.request, 1);
    return *driver;
  }
  void Order(const std::string& selection, bool MachineRequest::*flag) {
    m.model.SetCell(kColFilnavn, 1, selection);
    m.request.*flag = true;
    m.request.ResultState = 2;
    Driver().RunCycle();
  }
  test::NetMachine m;
  std::unique_ptr<TWinTool> driver;
};

TEST_F(WinToolTest, ProgramSetRoundTrip) {
  Put(Pc("P1.NC"), "main");
  Put(Pc("P1S0001.NC"), "one");
  Put(Pc("P1S0002.NC"), "two");
  Put(Pc("P1S00-3.NC"), "not a member");
  Put(Pc("P2.NC"), "other set");
  Order("P1", &MachineRequest::Send);
  EXPECT_EQ(RegularFiles(m.dir / "cnc"), (std::vector<std::string>{"0001.NC", "0002.NC", "P1.NC"}));
  EXPECT_EQ(ReadFile(Cnc("0001.NC")), "one");
  EXPECT_EQ(*m.request.SharedText, L1("3 filer ble overført"));
  EXPECT_EQ(m.request.ResultState, 1);

  Put(Back("P1S0009.NC"), "stale member");
  Put(Back("Q7.NC"), "another program");
  Order("P1", &MachineRequest::Fetch);
  EXPECT_EQ(RegularFiles(m.dir / "back"),
            (std::vector<std::string>{"P1.NC", "P1S0001.NC", "P1S0002.NC", "Q7.NC"}));
  EXPECT_EQ(ReadFile(Back("P1S0002.NC")), "two");
  EXPECT_EQ(ReadFile(Back("P1.NC")), "main");
  EXPECT_TRUE(RegularFiles(m.dir / "cnc").empty());
}

TEST_F(WinToolTest, FetchFromEmptyControlKeepsPcFiles) {
  Put(Back("P1.NC"), "keep");
  Order("P1", &MachineRequest::Fetch);
  EXPECT_EQ(ReadFile(Back("P1.NC")), "keep");
  EXPECT_EQ(m.Cell(kColStatus), "Kopiering fra CNC feilet");
  EXPECT_EQ(m.request.ResultState, 2);
}

TEST_F(WinToolTest, AbsoluteSelectionIsOneFile) {
  Put(m.dir / "elsewhere/X9.NC", "x9");
  Order(m.dir / "elsewhere/X9.NC", &MachineRequest::Send);
  EXPECT_EQ(ReadFile(Cnc("X9.NC")), "x9");
}

TEST_F(WinToolTest, DeleteOrderEmptiesOrCreatesTheControlDirectory) {
  Put(Cnc("A.NC"), "a");
  Put(Cnc("B.NC"), "b");
  Order("P1", &MachineRequest::Flag2);
  EXPECT_TRUE(RegularFiles(m.dir / "cnc").empty());
  EXPECT_EQ(m.Cell(kColStatus), L1("Sletting utført"));
  EXPECT_EQ(m.request.ResultState, 1);
}

struct MazakTool : WinToolTest {
  MazakTool() : WinToolTest("Mazak=True\n") {}
};

TEST_F(MazakTool, HardDiskLayout) {
  Put(Pc("P1.nc"), "main");
  Put(Pc("P1S0001.nc"), "one");
  Put(Pc("P1.DAT"), "data");
  Put(Cnc("HardDisk/OLD.DAT"), "old");
  Order("P1", &MachineRequest::Send);
  EXPECT_EQ(ReadFile(Cnc("P1.EIA")), "main");
  EXPECT_EQ(ReadFile(Cnc("0001.EIA")), "one");
  EXPECT_EQ(ReadFile(Cnc("HardDisk/P1.DAT")), "data");
  EXPECT_FALSE(Exists(Cnc("HardDisk/OLD.DAT")));

  Order("P1", &MachineRequest::Fetch);  // fetched from the hard disk
  EXPECT_EQ(ReadFile(Back("P1.DAT")), "data");
  EXPECT_FALSE(Exists(Cnc("HardDisk/P1.DAT")));
  EXPECT_TRUE(Exists(Cnc("P1.EIA")));

  Put(Cnc("HardDisk/Z.DAT"), "z");
  Order("P1", &MachineRequest::Flag2);
  EXPECT_TRUE(RegularFiles(m.dir / "cnc/HardDisk").empty());
  EXPECT_TRUE(Exists(Cnc("P1.EIA")));
}

struct SlettTool : WinToolTest {
  SlettTool() : WinToolTest("Slett=True\nSeparator=T\n") {}
};

TEST_F(SlettTool, SendEmptiesControlFirstAndUsesSeparator) {
  Put(Cnc("LEFTOVER.NC"), "x");
  Put(Pc("P4.NC"), "p4");
  Put(Pc("P4T01.NC"), "t01");
  Order("P4", &MachineRequest::Send);
  EXPECT_EQ(RegularFiles(m.dir / "cnc"), (std::vector<std::string>{"01.NC", "P4.NC"}));
}

struct MeasureTool : WinToolTest {
  MeasureTool()
      : WinToolTest("CNCMaaleKatalog=@D@cnc/maal/\nPCMaaleKatalog=@D@maal/\nMaaleIntervall=1\n") {
    ForceDirectories(m.dir / "maal");
  }
};

TEST_F(MeasureTool, CollectsTextFilesEveryInterval) {
  Put(Cnc("maal/M1.txt"), "12.5");
  Put(Cnc("maal/M2.TXT"), "7");
  Put(Cnc("maal/KEEP.DAT"), "not a measurement");
  Driver().RunCycle();
  EXPECT_TRUE(Exists(Cnc("maal/M1.txt")));  // not due yet
  Driver().RunCycle();
  EXPECT_EQ(ReadFile(m.dir / "maal/M1.txt"), "12.5");
  EXPECT_EQ(ReadFile(m.dir / "maal/M2.TXT"), "7");
  EXPECT_EQ(RegularFiles(m.dir / "cnc/maal"), std::vector<std::string>{"KEEP.DAT"});
  EXPECT_EQ(m.Cell(kColStatus), L1("Målefiler overført"));
  EXPECT_EQ(m.Cell(kColTegn), "5");
}

TEST(WinToolKeys, UserWithoutShareConnectsToTheControlDirectory) {
  test::NetMachine m("CNCKatalog=\\\\SRV\\CNC\\\nUser=op\n");
  TWinTool d(m.links, m.request, 1);
  EXPECT_EQ(d.Keys.net.share, "\\\\SRV\\CNC");
  EXPECT_EQ(d.Separator, 'S');
  EXPECT_FALSE(d.Keys.cncUnder);
}

}  // namespace
}  // namespace zova
