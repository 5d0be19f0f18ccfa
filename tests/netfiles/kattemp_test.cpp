#include <gtest/gtest.h>

#include <functional>

#include "core/driver/machine_set.h"
#include "core/latin1.h"
#include "core/mainthread.h"
#include "core/paths.h"
#include "net_fixture.h"
#include "netfiles/file_ops.h"
#include "netfiles/register_netfiles.h"
#include "netfiles/tkattemp.h"

namespace zova {
namespace {

using test::Exists;
using test::ReadFile;

using test::Put;

constexpr char kSection[] =
    "Protokoll=KATTEMP\nKatalog=@D@pc/"
    "\nFtpFilNavn=PARENTESER\nBackupdirs=1\nSjekkTid=1\nVentTid=2\n";

// A KATTEMP driver whose samples and reads the test can intercept.
class TestKatTemp : public TKatTemp {
 public:
  using TKatTemp::TKatTemp;
  std::function<void(int)> onSample;
  std::string unreadable;
  int samples = 0;

 protected:
  DropSnapshot TakeDropSnapshot() override {
    if (onSample) onSample(samples);
    ++samples;
    return TKatTemp::TakeDropSnapshot();
  }
  bool ReadHead(const std::string& path, std::string& data, std::string& error) override {
    if (!unreadable.empty() && FileNameOf(path) == unreadable) {
      error = "Input/output error";
      return false;
    }
    return TKatTemp::ReadHead(path, data, error);
  }
};

struct KatTempTest : ::testing::Test {
  explicit KatTempTest(const std::string& section = kSection) : m(section) {
    ForceDirectories(m.dir / "pc");
  }
  std::string Pc(const std::string& rel) { return m.dir / ("pc/" + rel); }
  void Drop(const std::string& name, const std::string& data) { Put(Pc("0-UT/" + name), data); }
  TestKatTemp& Driver() {
    if (!driver) driver = std::make_unique<TestKatTemp>(m.links, m.request, 1);
    return *driver;
  }
  test::NetMachine m;
  std::unique_ptr<TestKatTemp> driver;
};

TEST_F(KatTempTest, ConstructorCreatesPickUpAndDropDirectories) {
  Driver();
  EXPECT_TRUE(DirExists(Pc("0-INN")));
  EXPECT_TRUE(DirExists(Pc("0-UT")));
  EXPECT_EQ(m.Cell(kColFilnavn), "0000");
}

TEST_F(KatTempTest, ErrorDirectoryAtStartIsReported) {
  ForceDirectories(Pc("0-FEIL"));
  Driver();
  EXPECT_EQ(m.Cell(kColStatus), L1("Feilkatalog må behandles og slettes"));
}

TEST_F(KatTempTest, ParenthesesRuleSortsIntoProgramDirectory) {
  Driver();
  Drop("O1.NC", "%\r\n(S)(ABC 12)\r\nG0 X1\r\nM30\r\n");
  Drop("O2.NC", "%\r\n(ABC 12)\r\nM30\r\n");  // no start delimiter
  Driver().CheckDropDirectory();
  EXPECT_EQ(ReadFile(Pc("ABC/O1.NC")), "%\r\n(S)(ABC 12)\r\nG0 X1\r\nM30\r\n");
  EXPECT_TRUE(Exists(Pc("O2.NC/O2.NC")));
  EXPECT_FALSE(Exists(Pc("0-UT/O1.NC")));
  EXPECT_EQ(m.Cell(kColStatus), "2 filer kopiert fra CNC");
  EXPECT_EQ(m.Cell(kColFilnavn), "O2.NC");  // the last directory, below Katalog2
}

TEST_F(KatTempTest, BurstOfFiftyFilesForThreePrograms) {
  const char* progs[] = {"HUS", "AKSEL", "FLENS"};
  for (const char* p : progs) Put(Pc(std::string(p) + "/OLD.NC"), "old");
  m.clock.Advance(10 * 60 * 1000);  // the directories are old now
  Driver();
  for (int i = 0; i < 50; ++i)
    Drop("O" + std::to_string(100 + i) + ".NC",
         std::string("%\r\n(S)(") + progs[i % 3] + ")\r\nN" + std::to_string(i) + "\r\n");
  Driver().CheckDropDirectory();
  EXPECT_EQ(m.Cell(kColStatus), "50 filer kopiert fra CNC");
  size_t total = 0;
  for (const char* p : progs) {
    std::string dir = Pc(p);
    total += RegularFiles(dir).size();
    EXPECT_TRUE(Exists(dir + "/Backup1/OLD.NC")) << p;
    EXPECT_FALSE(Exists(dir + "/OLD.NC")) << p;
    EXPECT_FALSE(DirExists(dir + "/Backup2")) << p;
  }
  EXPECT_EQ(total, 50u);
  EXPECT_TRUE(RegularFiles(Pc("0-UT")).empty());
}

struct TwoGenerations : KatTempTest {
  TwoGenerations()
      : KatTempTest("Katalog=@D@pc/\nFtpFilNavn=PARENTESER\nBackupdirs=2\nVentTid=1\n") {}
};

TEST_F(TwoGenerations, TwoBurstsWithinTwoMinutesMakeOneGeneration) {
  Put(Pc("HUS/OLD.NC"), "old");
  m.clock.Advance(10 * 60 * 1000);
  Driver();
  Drop("A.NC", "(S)(HUS)");
  Driver().CheckDropDirectory();
  m.clock.Advance(60 * 1000);
  Drop("B.NC", "(S)(HUS)");
  Driver().CheckDropDirectory();
  EXPECT_TRUE(Exists(Pc("HUS/Backup1/OLD.NC")));
  EXPECT_FALSE(DirExists(Pc("HUS/Backup2")));
  EXPECT_TRUE(Exists(Pc("HUS/A.NC")) && Exists(Pc("HUS/B.NC")));

  m.clock.Advance(3 * 60 * 1000);  // a later burst rotates again
  Drop("C.NC", "(S)(HUS)");
  Driver().CheckDropDirectory();
  EXPECT_TRUE(Exists(Pc("HUS/Backup2/OLD.NC")));
  EXPECT_TRUE(Exists(Pc("HUS/Backup1/A.NC")));
  EXPECT_EQ(RegularFiles(Pc("HUS")), std::vector<std::string>{"C.NC"});
}

TEST_F(KatTempTest, GrowingFileIsTakenOnlyWhenSettled) {
  Driver();
  Drop("O1.NC", "(S)(GROW)");
  Driver().onSample = [&](int n) {
    if (n < 4)
      Put(Pc("0-UT/O1.NC"), "(S)(GROW)" + std::string(static_cast<size_t>(n + 1) * 100, 'x'));
  };
  Driver().CheckDropDirectory();
  EXPECT_EQ(Driver().samples, 4 + 2);  // growth, then VentTid unchanged samples
  EXPECT_EQ(ReadFile(Pc("GROW/O1.NC")).size(), 9u + 400u);
}

TEST_F(KatTempTest, UnreadableFileGoesToErrorDirectory) {
  Driver();
  Drop("BAD.NC", "(S)(X)");
  Drop("GOOD.NC", "(S)(Y)");
  Driver().unreadable = "BAD.NC";
  Driver().ImportDropDirectory();
  EXPECT_EQ(ReadFile(Pc("0-FEIL/BAD.NC")), "(S)(X)");
  EXPECT_TRUE(Exists(Pc("Y/GOOD.NC")));
  EXPECT_FALSE(DirExists(Pc("A-Feil")));
}

TEST_F(KatTempTest, ErrorDirectoryIsNeverEmptied) {
  Put(Pc("0-FEIL/EARLIER.NC"), "keep");
  ForceDirectories(Pc("0-UT"));
  Driver();
  Drop("N.NC", "data");
  Driver().Rule = NameRule::Invalid;
  Driver().ImportDropDirectory();
  EXPECT_EQ(m.Cell(kColMelding), "");
  EXPECT_TRUE(Exists(Pc("0-FEIL/N.NC")));
  EXPECT_EQ(ReadFile(Pc("0-FEIL/EARLIER.NC")), "keep");
}

TEST_F(KatTempTest, DirectoryThatCannotBeCreatedSendsFilesToErrorDirectory) {
  Driver().Rule = NameRule::Mazak;
  Put(Pc("BLOCK"), "a file where a directory should be");
  Put(Pc("0-FEIL/OLDERR.NC"), "e");
  Drop("M.NC", "(BLOCK/SUB)");
  Driver().ImportDropDirectory();
  EXPECT_TRUE(Exists(Pc("0-FEIL/M.NC")));
  EXPECT_TRUE(Exists(Pc("0-FEIL/Backup1/OLDERR.NC")));
}

TEST_F(KatTempTest, VanishedDropDirectoryAndRecovery) {
  Driver();
  RemoveTree(Pc("0-UT"));
  Driver().ImportDropDirectory();
  EXPECT_EQ(m.Cell(kColStatus), "Kopiering feilet");
  EXPECT_EQ(Driver().Cycle.error, "CNC-Katalog eksisterer ikke: " + Driver().UtvKatalog2);
  Drop("O1.NC", "(S)(BACK)");
  Driver().CheckDropDirectory();
  EXPECT_TRUE(Exists(Pc("BACK/O1.NC")));
  EXPECT_TRUE(Driver().Cycle.error.empty());
}

TEST_F(KatTempTest, HiddenUploadsAreLeftAlone) {
  Driver();
  Drop(".O1.NC", "(S)(HALF");
  Driver().CheckDropDirectory();
  EXPECT_EQ(Driver().samples, 0);
  EXPECT_TRUE(Exists(Pc("0-UT/.O1.NC")));
}

TEST_F(KatTempTest, SendPutsProgramIntoPickUpDirectory) {
  m.request.SharedText = std::make_shared<std::string>();
  Put(Pc("P7/A.NC"), "a");
  Put(Pc("P7/B.NC"), "b");
  Driver();
  m.model.SetCell(kColFilnavn, 1, "p7");
  m.request.Send = true;
  Driver().ServeRequests();
  EXPECT_EQ(ReadFile(Pc("0-INN/B.NC")), "b");
  EXPECT_EQ(*m.request.SharedText, L1("2 filer kan nå overføres til styringen"));
  EXPECT_EQ(m.request.ResultState, 1);
  Driver().Shutdown();
  EXPECT_TRUE(RegularFiles(Pc("0-INN")).empty());
}

TEST_F(KatTempTest, SendOfEmptyProgramDirectory) {
  m.request.SharedText = std::make_shared<std::string>();
  ForceDirectories(Pc("EMPTY"));
  Driver();
  m.model.SetCell(kColFilnavn, 1, "EMPTY");
  m.request.Send = true;
  Driver().ServeRequests();
  std::string expected = L1("Ingen filer å kopiere fra ") + Driver().Katalog + "EMPTY/";
  EXPECT_EQ(m.Cell(kColStatus), "Kopiering til CNC feilet");
  EXPECT_EQ(m.Cell(kColMelding), expected);
  EXPECT_EQ(*m.request.SharedText, expected);
  EXPECT_EQ(m.request.ResultState, 0);
}

// The driver's own loop in the machine set: it takes a dropped file, and
// empties the pick-up directory when it stops.
TEST_F(KatTempTest, RunsInTheMachineSet) {
  QueueCallOver callOver;
  MainThread::Install(&callOver);
  RegisterNetFileDrivers();
  Put(Pc("0-INN/FOR-CNC.NC"), "picked up later");
  Drop("O5.NC", "(S)(LOOP)");
  {
    MachineSet set(m.model, m.links);
    set.StartAllMachines();
    ASSERT_TRUE(set.HasDriver(1));
    MainThread::ServeFor(600000, [&] { return m.Cell(kColStatus) == "1 filer kopiert fra CNC"; });
    set.StopAll();
  }
  MainThread::Install(nullptr);
  EXPECT_EQ(m.Cell(kColStatus), "Avslutter");
  EXPECT_EQ(ReadFile(Pc("LOOP/O5.NC")), "(S)(LOOP)");
  EXPECT_TRUE(RegularFiles(Pc("0-INN")).empty());
}

TEST(KatTempKeys, SjekkTidAndVentTidBelowOneBecomeOne) {
  test::NetMachine m("Katalog=@D@pc/\nSjekkTid=0\nVentTid=-3\n");
  ForceDirectories(m.dir / "pc");
  TKatTemp d(m.links, m.request, 1);
  EXPECT_EQ(d.SjekkTid, 1);
  EXPECT_EQ(d.VentTid, 1);
  EXPECT_EQ(d.Rule, NameRule::Invalid);
}

}  // namespace
}  // namespace zova
