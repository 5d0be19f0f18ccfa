// Storage scenarios on a temporary directory: backups, revisions, ".Gal",
// extension, directory creation, the emergency store, interrupted stores and
// names that try to leave the machine's directories.

#include "files/storage/tfiledef.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "core/clock.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "support/test_support.h"

namespace zova {
namespace {

using test::Exists;
using test::ReadFile;
using test::WriteFile;

class Driver : public TFileDef {
 public:
  using TFileDef::TFileDef;
  void Execute() override {}
  bool interrupt = false;

 protected:
  bool BeforeReplace(const std::string&) override { return !interrupt; }
};

struct StoreTest : ::testing::Test {
  test::TempDir data;
  test::TempDir rx;
  StationModel model{2};
  UiLinks links;
  test::ScopedUiHost ui;
  std::unique_ptr<test::ScopedIni> ini;

  StoreTest() { links.model = &model; }
  std::string M() { return data / "M1/"; }
  std::unique_ptr<Driver> Make(const std::string& keys, const std::string& program = "") {
    ForceDirectories(M());
    ini.reset();  // restores the previous globals before the next takes over
    ini = std::make_unique<test::ScopedIni>("[Program]\n" + program +
                                            "\n[Maskin1]\nKatalog=" + M() + "\n" + keys + "\n");
    auto d = std::make_unique<Driver>(links, model.Request(1), 1);
    d->TempName = rx / "Maskin1.RX";
    return d;
  }
  bool Receive(Driver& d, const std::string& name, const std::string& text, bool bff = false) {
    WriteFile(d.TempName, text);
    d.TransferName = name;
    bool ok = false;
    d.StoreReceived(true, false, ok, 0, bff);
    return ok;
  }
};

TEST_F(StoreTest, BackupFilesRotateWithBakOverFourReceptions) {
  auto d = Make("BackupFiles=3\nBakFiler=True");
  for (int i = 1; i <= 4; ++i)
    ASSERT_TRUE(Receive(*d, "P1", "V" + std::to_string(i) + "\r\n")) << i;
  EXPECT_EQ(ReadFile(M() + "P1.NC"), "V4\r\n");
  EXPECT_EQ(ReadFile(M() + "P1.Bak"), "V3\r\n");
  EXPECT_EQ(ReadFile(M() + "P1.001"), "V2\r\n");
  EXPECT_EQ(ReadFile(M() + "P1.002"), "V1\r\n");
  EXPECT_FALSE(Exists(M() + "P1.003"));
  ASSERT_TRUE(Receive(*d, "P1", "V5\r\n"));
  ASSERT_TRUE(Receive(*d, "P1", "V6\r\n"));
  EXPECT_EQ(ReadFile(M() + "P1.003"), "V2\r\n");  // V1 left at the top
  EXPECT_EQ(ReadFile(M() + "P1.Bak"), "V5\r\n");
}

TEST_F(StoreTest, BackupFilesWithoutBakAndInOwnDirectory) {
  auto d =
      Make("BackupFiles=2\nBakFiler=False\nBackupKatalog=" + (data / "B/") + "\nLagKataloger=True");
  ForceDirectories(data / "B/");
  for (int i = 1; i <= 3; ++i) ASSERT_TRUE(Receive(*d, "P1.NC", "V" + std::to_string(i) + "\n"));
  EXPECT_EQ(ReadFile(M() + "P1.NC"), "V3\r\n");
  EXPECT_FALSE(Exists(M() + "P1.Bak"));
  EXPECT_EQ(ReadFile(data / "B/P1.001"), "V2\r\n");
  EXPECT_EQ(ReadFile(data / "B/P1.002"), "V1\r\n");
}

TEST_F(StoreTest, LineEndsNormalisedOrKeptByteForByte) {
  auto d = Make("");
  ASSERT_TRUE(Receive(*d, "A", "%\nO1\n\nM30\r%"));
  EXPECT_EQ(ReadFile(M() + "A.NC"), "%\r\nO1\r\nM30\r\n%");
  ASSERT_TRUE(Receive(*d, "B", "%\r\nO1\n\n", true));
  EXPECT_EQ(ReadFile(M() + "B.NC"), "%\r\nO1\n\n");
}

TEST_F(StoreTest, TransferErrorStoresOnlyGal) {
  auto d = Make("");
  WriteFile(M() + "P1.NC", "OLD");
  d->TransferError = true;
  ASSERT_TRUE(Receive(*d, "P1.NC", "NEW\n"));
  EXPECT_EQ(ReadFile(M() + "P1.Gal"), "NEW\r\n");
  EXPECT_EQ(ReadFile(M() + "P1.NC"), "OLD");
  EXPECT_EQ(model.Cell(kColFilnavn, 1), "P1.Gal");
}

TEST_F(StoreTest, ExtendAppendsWithUtvidEkstra) {
  auto d = Make("UtvidEkstra=[LF](TILLEGG)[CR][LF]");
  WriteFile(M() + "P1.NC", "A\r\n");
  WriteFile(d->TempName, "B\n");
  d->TransferName = "P1";
  bool ok = false;
  d->StoreReceived(true, true, ok, 0, false);
  ASSERT_TRUE(ok);
  EXPECT_EQ(ReadFile(M() + "P1.NC"), "A\r\n\n(TILLEGG)\r\nB\r\n");
}

TEST_F(StoreTest, LagKatalogerCreatesMissingDirectory) {
  auto off = Make("FastKatalog=False");
  EXPECT_FALSE(Receive(*off, "SUB\\P1", "X"));
  EXPECT_FALSE(Exists(M() + "SUB/P1.NC"));
  auto on = Make("LagKataloger=True");
  ASSERT_TRUE(Receive(*on, "SUB\\P1", "X"));
  EXPECT_EQ(ReadFile(M() + "SUB/P1.NC"), "X");
}

TEST_F(StoreTest, InterruptedStoreLeavesOldProgramAndNoBackupChange) {
  auto d = Make("BackupFiles=2");
  ASSERT_TRUE(Receive(*d, "P1", "OLD\r\n"));
  ASSERT_TRUE(Receive(*d, "P1", "MID\r\n"));
  d->interrupt = true;
  EXPECT_FALSE(Receive(*d, "P1", "NEW\r\n"));
  EXPECT_EQ(ReadFile(M() + "P1.NC"), "MID\r\n");
  EXPECT_EQ(ReadFile(M() + "P1.Bak"), "OLD\r\n");
  EXPECT_FALSE(Exists(M() + "P1.001"));
  for (const auto& f : ListFiles(M())) EXPECT_EQ(f.find("zovatmp"), std::string::npos) << f;
}

TEST_F(StoreTest, UnwritableTargetGoesToEmergencyStore) {
  // A plain file where the directory should be: no permission trick, so it
  // also fails for root.
  auto d = Make("LagKataloger=True", "BackupKatalog=" + (data / "EMERG"));
  WriteFile(M() + "SUB", "");
  EXPECT_FALSE(Receive(*d, "SUB\\P1", "DATA\n"));
  EXPECT_FALSE(Receive(*d, "SUB\\P2", "MORE\n"));
  EXPECT_EQ(ReadFile(data / "EMERG/Maskin1.001"), "DATA\r\n");
  EXPECT_EQ(ReadFile(data / "EMERG/Maskin1.002"), "MORE\r\n");
  EXPECT_NE(model.Cell(kColMelding, 1).find("Maskin1.002"), std::string::npos);
}

TEST_F(StoreTest, EmergencyFallbacks) {
  auto d = Make("", "BackupKatalog=X");  // shorter than 3: next store in line
  std::string path;
  bool ok = false;
  d->OpenBackupFile("P", path, ok);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(path.rfind(DefaultDataRoot() + "Backup", 0) == 0 || path.rfind(HomeDir(), 0) == 0)
      << path;
  ForceDirectories(data / "E");
  WriteFile(data / "E/Maskin1.041", "");
  WriteFile(data / "E/Maskin1.999", "");
  auto e = Make("", "BackupKatalog=" + (data / "E/"));
  e->OpenBackupFile("P", path, ok);
  EXPECT_EQ(FsPath(path), data / "E/Maskin1.042");
}

TEST_F(StoreTest, NamesMayNotClimbOutOfTheDataTree) {
  auto d = Make("");
  ASSERT_TRUE(Receive(*d, "..\\..\\..\\ETC\\EVIL", "X"));
  EXPECT_EQ(ReadFile(M() + "0000.NC"), "X");
  EXPECT_NE(model.Cell(kColMelding, 1).find("0000"), std::string::npos);
  ASSERT_TRUE(Receive(*d, "/tmp/evil.nc", "Y"));
  EXPECT_EQ(ReadFile(M() + "0000.NC"), "Y");
  // The parent of the machine directory is allowed with FellesKataloger.
  auto f = Make("", "FellesKataloger=True");
  ASSERT_TRUE(Receive(*f, "..\\SHARED.NC", "Z"));
  EXPECT_EQ(ReadFile(data / "SHARED.NC"), "Z");
}

TEST_F(StoreTest, StaleMarkerStoresUnderNoName) {
  auto d = Make("FilNavnNullstill=True");
  model.SetCell(kColFilnavn, 1, "P7.NC!");
  ASSERT_TRUE(Receive(*d, "P7.NC", "X"));
  EXPECT_EQ(ReadFile(M() + "0000.NC"), "X");
  d->MarkNameStale();
  EXPECT_EQ(model.Cell(kColFilnavn, 1), "0000.NC!");
}

TEST_F(StoreTest, RevisionSearch) {
  auto d = Make("Revisjon=1");
  WriteFile(M() + "P5A.NC", "A");
  bool found = false;
  std::string path;
  d->FindRevision(M(), "P5", found, path);
  EXPECT_TRUE(found);
  EXPECT_EQ(FileNameOf(path), "P5A.NC");
  WriteFile(M() + "P5B.NC", "B");
  struct utimbuf old {
    1000, 1000
  };
  utime((M() + "P5A.NC").c_str(), &old);
  d->FindRevision(M(), "P5.NC", found, path);
  EXPECT_FALSE(found);
  auto two = Make("Revisjon=2");
  two->FindRevision(M(), "P5.NC", found, path);
  EXPECT_TRUE(found);
  EXPECT_EQ(FileNameOf(path), "P5B.NC");
  EXPECT_EQ(model.Cell(kColFilnavn, 1), "P5B.NC");
}

TEST_F(StoreTest, AlternativeDirectoriesInOrder) {
  ForceDirectories(data / "A1/");
  ForceDirectories(data / "A2/");
  WriteFile(data / "A2/P9.NC", "2");
  auto d = Make("AltKatalog1=" + (data / "A1/") + "\nAltKatalog2=" + (data / "A2/") +
                "\nAltKatalog4=" + (data / "A1/"));
  ASSERT_EQ(d->AltKataloger.size(), 2u);
  std::string name = "P9.NC";
  bool found = false;
  d->FindInAltDirs(name, found);
  EXPECT_TRUE(found);
  EXPECT_EQ(ReadFile(FsPath(name)), "2");
}

TEST_F(StoreTest, InvalidSettingsAreReported) {
  auto d = Make("MakroProgram=FOO\nDirFilType=BAR");
  auto n = ui.host.Notices();
  ASSERT_EQ(n.size(), 2u);
  EXPECT_EQ(n[0].caption, "Maskin1");
  EXPECT_EQ(d->Listing.type, DirFileType::Ingen);
}

}  // namespace
}  // namespace zova
