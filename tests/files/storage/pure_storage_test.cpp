#include <gtest/gtest.h>

#include "files/storage/backup_names.h"
#include "files/storage/dir_listing.h"
#include "files/storage/macro.h"
#include "files/storage/normalize.h"

namespace zova {
namespace {

TEST(Normalize, RunsOfLineEndsBecomeOneCrLfAcrossChunks) {
  const std::pair<const char*, const char*> cases[] = {
      {"A\nB\n", "A\r\nB\r\n"}, {"A\r\rB", "A\r\nB"}, {"A\r\n\r\n\nB", "A\r\nB"},
      {"\n\nA", "\r\nA"},       {"AB", "AB"},         {"A\n\r", "A\r\n"},
  };
  for (auto [in, out] : cases) {
    std::string whole, pieces;
    LineEndNormalizer a, b;
    a.Feed(in, strlen(in), whole);
    for (const char* p = in; *p; ++p) b.Feed(p, 1, pieces);
    EXPECT_EQ(whole, out) << in;
    EXPECT_EQ(pieces, out) << in;
  }
}

TEST(BackupNames, RotationDeletesTopThenShiftsUp) {
  auto steps = BackupRotation("B/", "P1", 3);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].kind, BackupStep::Kind::Delete);
  EXPECT_EQ(steps[0].from, "B/P1.003");
  EXPECT_EQ(steps[1].from, "B/P1.002");
  EXPECT_EQ(steps[1].to, "B/P1.003");
  EXPECT_EQ(steps[2].from, "B/P1.001");
  EXPECT_EQ(steps[2].to, "B/P1.002");
  EXPECT_TRUE(BackupRotation("B/", "P1", 0).empty());
}

TEST(BackupNames, EmergencyNumbers) {
  EXPECT_EQ(NextEmergencyNumber({}, 3), 1);
  EXPECT_EQ(NextEmergencyNumber({"Maskin3.001", "MASKIN3.007", "Maskin4.050", "Maskin3.x12",
                                 "Maskin3.999", "Maskin3.0100"},
                                3),
            8);
  EXPECT_EQ(EmergencyFileName("/b", 3, 8), "/b/Maskin3.008");
}

TEST(BackupNames, RevisionPatternAndChoice) {
  EXPECT_EQ(RevisionPattern("P100.NC", ".NC"), "P100*.NC");
  EXPECT_EQ(RevisionPattern("P100", ".NC"), "P100*.NC");
  EXPECT_EQ(RevisionPattern("A.B\\P100", ".NC"), "A.B\\P100*.NC");
  std::vector<RevisionCandidate> two = {{"P1A.NC", 10}, {"P1B.NC", 20}};
  EXPECT_EQ(ChooseRevision(1, two), -1);
  EXPECT_EQ(ChooseRevision(2, two), 1);
  EXPECT_EQ(ChooseRevision(1, {{"P1A.NC", 10}}), 0);
  EXPECT_EQ(ChooseRevision(0, {{"P1A.NC", 10}}), -1);
  EXPECT_EQ(ChooseRevision(2, {}), -1);
}

std::vector<ListingEntry> Files() {
  ListingEntry a{"P2.NC", false, 1500, 3, 4, 2025, "", ""};
  ListingEntry b{"P1.NC", false, 20, 31, 12, 2024, "", ""};
  ListingEntry d{"SUB", true, 0, 1, 1, 2025, "", ""};
  return {a, b, d};
}

ListingOptions Opts(const char* type) {
  bool ok = false;
  ListingOptions o;
  o.type = DirFileTypeFromName(type, ok);
  o.dirProgramNr = DefaultDirProgramNr(o.type);
  return o;
}

TEST(DirListing, EveryFormat) {
  struct Case {
    const char* type;
    std::string expected;
  };
  const Case cases[] = {
      {"FANUC", "%\r\n:5006\r\n(P1.NC)\r\n(P2.NC)\r\nM30\r\n%\r\n"},
      {"MAZATROL", "%\r\n:5006\r\n(P1.NC)\r\n(P2.NC)\r\nM30\r\n%\r\n"},
      {"TRAUB", "%\r\nO5006\r\n(P1.NC)\r\n(P2.NC)\r\nM30\r\n%\r\n"},
      {"OKUMA", "(P1.NC)\r\n(P2.NC)\r\nM02\r\n"},
      {"SIEMENS", "%5006\r\n(P1.NC)\r\n(P2.NC)\r\nM02\r\n"},
      {"PARANTES", "%\r\n\r\n(P1.NC)\r\n(P2.NC)\r\nM30\r\n%\r\n"},
      {"EMCO", "%5006 \r\nNP1.NC  \r\nNP2.NC  \r\nN9999  M30\r\n"},
      {"OKUMA3000", std::string("%\r\n(P1.NC)\r\n(P2.NC)\r\nM30\r\n\0", 27)},
      {"PHILIPS", "%PM5006\r\nN5006 (KATALOG)\r\nN001 (P1.NC)\r\nN002 (P2.NC)\r\nN999 M30\r\n"},
      {"ROVERB", "\r\nP1.NC      \r\nP2.NC      \r\n\x03"},
      {"HEIDENHAIN",
       "O D\r\n--HOME--\r\nFILENAME     SECTORS   START\r\nP1.NC              1       0\r\n"
       "P2.NC              2       1\r\n\r\nFREE:   999\r\nUSED:     3\r\n"},
  };
  for (const auto& c : cases) {
    ListingOptions o = Opts(c.type);
    o.nameWidth = 12;
    EXPECT_EQ(BuildDirectoryListing(Files(), o), c.expected) << c.type;
  }
}

TEST(DirListing, ColumnsHeadingSubdirsAndLimit) {
  ListingOptions o = Opts("FANUC");
  o.time = o.size = true;
  o.underKataloger = true;
  o.nameWidth = 20;
  EXPECT_EQ(BuildDirectoryListing(Files(), o),
            "%\r\n:5006\r\n"
            "(    DATO     TEGN FILNAVN)\r\n"
            "(-------------------------)\r\n"
            "(01.01.25        0 SUB\\)\r\n"
            "(31.12.24       20 P1.NC)\r\n"
            "(03.04.25     1500 P2.NC)\r\n"
            "M30\r\n%\r\n");
  o.maxKatalogLinjer = 1;
  o.nameWidth = 5;
  EXPECT_EQ(BuildDirectoryListing(Files(), o),
            "%\r\n:5006\r\n(01.01.25        0 SUB\\)\r\nM30\r\n%\r\n");
}

TEST(DirListing, EmptyListAndUnknownType) {
  EXPECT_EQ(BuildDirectoryListing({}, Opts("FANUC")),
            "%\r\n:5006\r\nN1 (INGEN FILER)\r\nM30\r\n%\r\n");
  bool ok = true;
  DirFileTypeFromName("FOO", ok);
  EXPECT_FALSE(ok);
  DirFileTypeFromName("INGEN", ok);
  EXPECT_TRUE(ok);
}

}  // namespace
}  // namespace zova

namespace zova {
namespace {

TEST(Macro, KindsAndMarkers) {
  struct Case {
    const char* kind;
    const char* head;
    bool is;
    int number;
    const char* param;
  };
  const Case cases[] = {
      {"PARENTESER", "(M)(12)(ORDRE-7_A) ", true, 12, "ORDRE-7_A"},
      {"PARENTESER", "(M)(0)(X)", false, 0, ""},
      {"PARENTESER", "(M)(AB)", false, 0, ""},
      {"FANUC", "MAKRO 33 PARAM K1 ", true, 33, "K1"},
      {"FANUC", "% MAKRO 33", false, 0, ""},
      {"STANDARD", "EV<5> P=Q9 ", true, 5, "Q9"},
      {"STANDARD", "NOTHING", false, 0, ""},
  };
  for (const auto& c : cases) {
    MacroMarkers m;
    m.makro = "EV";
    m.startHendelse = "<";
    m.stoppHendelse = ">";
    m.startParameter = "P=";
    ASSERT_TRUE(MacroMarkersFor(c.kind, m));
    MacroMatch r;
    EXPECT_EQ(MatchMacro(c.head, m, r), c.is) << c.kind << " " << c.head;
    EXPECT_EQ(r.number, c.is ? c.number : r.number);
    if (c.is) {
      EXPECT_EQ(r.parameter, c.param);
    }
  }
  MacroMarkers m;
  EXPECT_FALSE(MacroMarkersFor("INGEN", m));
  std::string longParam(80, 'A');
  ASSERT_TRUE(MacroMarkersFor("FANUC", m));
  MacroMatch r;
  ASSERT_TRUE(MatchMacro("MAKRO1 PARAM" + longParam, m, r));
  EXPECT_EQ(r.parameter.size(), 50u);
}

}  // namespace
}  // namespace zova
