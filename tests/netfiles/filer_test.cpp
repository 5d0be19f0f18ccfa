#include <gtest/gtest.h>

#include "core/driver/machine_set.h"
#include "core/driver/protocol_table.h"
#include "core/error_text.h"
#include "core/latin1.h"
#include "core/mainthread.h"
#include "core/paths.h"
#include "net_fixture.h"
#include "netfiles/file_ops.h"
#include "netfiles/register_netfiles.h"
#include "netfiles/tfiler.h"

namespace zova {
namespace {

using test::Exists;
using test::Put;
using test::ReadFile;

struct FilerTest : ::testing::Test {
  explicit FilerTest(const std::string& keys)
      : m("Protokoll=FILER\nKatalog=@D@pc/\nCNCKatalog=@D@cnc/\nExt=.NC\n" + keys) {
    ForceDirectories(m.dir / "pc");
    ForceDirectories(m.dir / "cnc");
    m.request.SharedText = std::make_shared<std::string>();
  }
  std::string Pc(const std::string& rel) { return m.dir / ("pc/" + rel); }
  std::string Cnc(const std::string& rel) { return m.dir / ("cnc/" + rel); }
  TFiler& Driver() {
    if (!driver) driver = std::make_unique<TFiler>(m.links, m.request, 1);
    return *driver;
  }
  void Order(const std::string& selection, bool send) {
    m.model.SetCell(kColFilnavn, 1, selection);
    (send ? m.request.Send : m.request.Fetch) = true;
    Driver().RunCycle();
  }
  test::NetMachine m;
  std::unique_ptr<TFiler> driver;
};

struct FilerDirs : FilerTest {
  FilerDirs() : FilerTest("Filer=False\nBackupdirs=2\n") {}
};

TEST_F(FilerDirs, SendCopiesTheProgramDirectory) {
  Put(Pc("P1/A.NC"), "aaa");
  Put(Pc("P1/B.NC"), std::string("b\0b", 3));
  Order("P1", true);
  EXPECT_EQ(ReadFile(Cnc("P1/A.NC")), "aaa");
  EXPECT_EQ(ReadFile(Cnc("P1/B.NC")), std::string("b\0b", 3));
  EXPECT_EQ(m.Cell(kColStatus), "Kopiert til CNC");
  EXPECT_EQ(*m.request.SharedText, L1("2 filer ble overført"));
  EXPECT_EQ(m.request.ResultState, 1);
  EXPECT_EQ(m.Cell(kColTegn), "6");
}

TEST_F(FilerDirs, SendOfMissingOrEmptyDirectory) {
  Order("NONE", true);
  EXPECT_EQ(m.Cell(kColStatus), "Kopiering feilet");
  EXPECT_EQ(*m.request.SharedText, "Katalog eksisterer ikke: " + Driver().Keys.katalog + "NONE/");
  EXPECT_EQ(m.request.ResultState, 0);

  m.request.ResultState = 2;
  ForceDirectories(Pc("EMPTY"));
  Order("EMPTY", true);
  EXPECT_EQ(m.Cell(kColStatus), "Kopiering til CNC feilet");
  EXPECT_EQ(m.Cell(kColMelding),
            L1("Ingen filer å kopiere fra ") + Driver().Keys.katalog + "EMPTY/");
  EXPECT_EQ(m.request.ResultState, 2);  // nothing done, nothing handed back
}

TEST_F(FilerDirs, FetchCreatesThePcDirectoryWithoutBackup) {
  Put(Cnc("P2/X.NC"), "x");
  Order("P2", false);
  EXPECT_EQ(ReadFile(Pc("P2/X.NC")), "x");
  EXPECT_FALSE(DirExists(Pc("P2/Backup1")));
  EXPECT_EQ(m.Cell(kColStatus), "Kopiert fra CNC");
  EXPECT_EQ(*m.request.SharedText, L1("1 fil ble overført"));
}

TEST_F(FilerDirs, FetchIntoExistingDirectoryRotatesBackups) {
  Put(Pc("P3/OLD.NC"), "old");
  Put(Cnc("P3/X.NC"), "x1");
  Order("P3", false);
  Put(Cnc("P3/X.NC"), "x2");
  Order("P3", false);
  EXPECT_EQ(ReadFile(Pc("P3/X.NC")), "x2");
  EXPECT_EQ(ReadFile(Pc("P3/Backup1/X.NC")), "x1");
  EXPECT_EQ(ReadFile(Pc("P3/Backup2/OLD.NC")), "old");
}

TEST_F(FilerDirs, FetchFromMissingControlDirectory) {
  Order("GONE", false);
  EXPECT_EQ(Driver().Cycle.error,
            "CNC-Katalog eksisterer ikke: " + ControlDir(Driver().Keys.cncKatalog, true, "GONE"));
  EXPECT_EQ(m.request.ResultState, 0);
}

struct FilerFiles : FilerTest {
  FilerFiles() : FilerTest("CNCUnderKataloger=False\nBackupfiles=2\nBackupKatalog=@D@bk/\n") {
    ForceDirectories(m.dir / "bk");
  }
};

TEST_F(FilerFiles, SingleFileSendAddsExtension) {
  Put(Pc("O10.NC"), "prog");
  Order("o10", true);
  EXPECT_EQ(ReadFile(Cnc("O10.NC")), "prog");
  EXPECT_EQ(*m.request.SharedText, L1("1 fil ble overført"));
}

TEST_F(FilerFiles, FailedSingleSendIsNotReportedAsDone) {
  Order("O11", true);
  EXPECT_EQ(m.Cell(kColStatus), "Kopiering til CNC feilet");
  EXPECT_EQ(Driver().Cycle.error, ErrorText(ENOENT, ErrorContext::FileCopy));
  EXPECT_EQ(m.Cell(kColMelding), ErrorText(ENOENT, ErrorContext::FileCopy));
  EXPECT_EQ(m.request.ResultState, 0);
}

TEST_F(FilerFiles, SingleFetchKeepsNumberedBackups) {
  Put(Pc("O12.NC"), "v0");
  for (int v = 1; v <= 3; ++v) {
    Put(Cnc("O12.NC"), "v" + std::to_string(v));
    Order("O12.NC", false);
  }
  EXPECT_EQ(ReadFile(Pc("O12.NC")), "v3");
  EXPECT_EQ(ReadFile(m.dir / "bk/O12.001"), "v2");
  EXPECT_EQ(ReadFile(m.dir / "bk/O12.002"), "v1");
  EXPECT_FALSE(Exists(m.dir / "bk/O12.003"));
}

TEST_F(FilerFiles, SingleFetchOfMissingControlFile) {
  Put(Pc("O13.NC"), "keep");
  Order("O13", false);
  EXPECT_EQ(m.Cell(kColStatus), "Kopiering feilet");
  EXPECT_EQ(Driver().Cycle.error.rfind("Fil eksisterer ikke: ", 0), 0u);
  EXPECT_EQ(ReadFile(Pc("O13.NC")), "keep");
}

// The driver on its own thread, started by the machine set like any other.
TEST_F(FilerFiles, RunsInTheMachineSet) {
  QueueCallOver callOver;
  MainThread::Install(&callOver);
  RegisterNetFileDrivers();
  Put(Pc("O20.NC"), "threaded");
  {
    MachineSet set(m.model, m.links);
    set.StartAllMachines();
    ASSERT_TRUE(set.HasDriver(1));
    MainThread::invoke([&] {
      m.model.SetCell(kColFilnavn, 1, "O20");
      m.request.Send = true;
    });
    MainThread::ServeFor(60000, [&] { return m.request.ResultState != 2; });
    EXPECT_EQ(m.request.ResultState, 1);
    set.StopAll();
    EXPECT_EQ(m.Cell(kColStatus), L1("Kjører ikke"));
  }
  MainThread::Install(nullptr);
  EXPECT_EQ(ReadFile(Cnc("O20.NC")), "threaded");
}

}  // namespace
}  // namespace zova
