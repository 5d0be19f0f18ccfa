#include <gtest/gtest.h>

#include "netfiles/backup_names.h"
#include "netfiles/drop_settle.h"
#include "netfiles/name_rules.h"
#include "netfiles/set_layout.h"

namespace zova {
namespace {

NameResult Name(NameRule rule, std::string_view head, std::string_view file = "O1.NC") {
  NameInput in{head, file, "A-", "<", ">"};
  return FindProgramName(rule, in);
}

TEST(NameRules, DelimiterRules) {
  struct Case {
    NameRule rule;
    std::string head, file, name;
  } cases[] = {
      {NameRule::Parenteser, "%\r\n(S)(ABC 12)\r\nG0", "O1.NC", "ABC"},
      {NameRule::Parenteser, "%\r\n(ABC)\r\n", "O1.NC", "O1.NC"},  // no start: own name
      {NameRule::Kommentarer, "(HUS-1.B,X)", "F", "HUS-1.B"},
      {NameRule::Kommentarer, "(P/Q)", "F", "P"},
      {NameRule::Kommentarer, "(+X)", "F.NC", "F.NC"},    // cut to nothing
      {NameRule::Kommentarer, "(ABCDEF", "F", "ABCDEF"},  // no stop: to the end
      {NameRule::Kommentarer, "(..)", "F", "F"},          // never the parent directory
      {NameRule::Kommentarer, "(..)", "..", "A-Feil"},
      {NameRule::Standard, "x<Q7>y", "F", "Q7"},
      {NameRule::Kommentarer, "", "", "A-Feil"},
  };
  for (const Case& c : cases) {
    NameResult r = Name(c.rule, c.head, c.file);
    EXPECT_TRUE(r.ok) << c.head;
    EXPECT_EQ(r.name, c.name) << c.head;
  }
}

TEST(NameRules, MazakRule) {
  std::string withNul(80, 'x');
  withNul[3] = '\0';
  struct Case {
    std::string head;
    bool ok;
    std::string name;
  } cases[] = {
      {withNul + "DIR/PROG1 rest", true, "DIR\\PROG1"},
      {withNul, false, "A-Feil"},         // nothing from byte 81
      {"(MAIN:PART7 X)", true, "PART7"},  // after ":" and before blank
      {"(PART8)", true, "PART8"},
      {"( X)", false, "A-Feil"},
      {"no name at all", false, "A-Feil"},
      {withNul + "ABC(:)", false, "A-Feil"},  // parentheses decide
      {"(../../ETC/X)", true, "ETC\\X"},      // stays below Katalog2
      {"(..)", false, "A-Feil"},
  };
  for (const Case& c : cases) {
    NameResult r = Name(NameRule::Mazak, c.head);
    EXPECT_EQ(r.ok, c.ok) << c.head;
    EXPECT_EQ(r.name, c.name) << c.head;
  }
}

TEST(NameRules, UnknownRuleFails) {
  EXPECT_EQ(ParseNameRule("parenteser"), NameRule::Parenteser);
  EXPECT_EQ(ParseNameRule("FTP"), NameRule::Invalid);
  NameResult r = Name(NameRule::Invalid, "(S)(ABC)");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.name, "A-Feil");
  EXPECT_EQ(r.error, "Ugyldig filnavnrutine");
}

TEST(NameRules, FileNameSet) {
  std::string allowed;
  for (int c = 0; c < 256; ++c)
    if (IsFileNameChar(static_cast<unsigned char>(c))) allowed += static_cast<char>(c);
  EXPECT_EQ(allowed.size(), 10u + 26u + 26u + 14u);
  for (char c : std::string(" (),+=/\\:*?\"<>|")) EXPECT_FALSE(IsFileNameChar(c)) << c;
}

TEST(DropSettle, NamesThatCount) {
  EXPECT_TRUE(CountsAsDropFile("A.NC"));
  EXPECT_FALSE(CountsAsDropFile(".A"));
  EXPECT_FALSE(CountsAsDropFile("NOEXT"));
  EXPECT_FALSE(IsImportable(".upload.NC"));
}

TEST(DropSettle, NeedsVentTidUnchangedSamples) {
  SettleTracker t(3);
  DropSnapshot a{2, 100, 5};
  EXPECT_FALSE(t.Add(a));
  EXPECT_FALSE(t.Add(a));
  EXPECT_FALSE(t.Add(a));
  EXPECT_TRUE(t.Add(a));
}

TEST(DropSettle, GrowingFileRestartsTheWait) {
  SettleTracker t(2);
  EXPECT_FALSE(t.Add({1, 100, 1}));
  EXPECT_FALSE(t.Add({1, 100, 1}));
  EXPECT_FALSE(t.Add({1, 200, 1}));  // same count, larger file
  EXPECT_FALSE(t.Add({1, 200, 1}));
  EXPECT_TRUE(t.Add({1, 200, 1}));
  SettleTracker zero(0);  // below 1 counts as 1
  EXPECT_FALSE(zero.Add({}));
  EXPECT_TRUE(zero.Add({}));
}

TEST(SetLayout, MazakPlacement) {
  struct Case {
    std::string name;
    bool mazak;
    std::string subdir, placed;
  } cases[] = {
      {"0001.nc", true, "", "0001.EIA"},
      {"0001.NC", true, "", "0001.EIA"},
      {"TOOL.DAT", true, "HardDisk\\", "TOOL.DAT"},
      {"0001.NC", false, "", "0001.NC"},
      {"NOEXT", true, "HardDisk\\", "NOEXT"},
  };
  for (const Case& c : cases) {
    Placement p = PlaceOnControl(c.name, c.mazak);
    EXPECT_EQ(p.subdir, c.subdir) << c.name;
    EXPECT_EQ(p.name, c.placed) << c.name;
  }
}

TEST(SetLayout, SeparatorNames) {
  EXPECT_EQ(SetMainMask("P1"), "P1.*");
  EXPECT_EQ(SetMainMask("P1.NC"), "P1.NC");
  EXPECT_EQ(SetMemberMask("P1", 'S'), "P1S*.*");
  EXPECT_EQ(SetMemberMask("P1.NC", 'S'), "");
  EXPECT_EQ(SetMemberControlName("P1S0001.nc", "P1", 'S'), "0001.nc");
  EXPECT_EQ(SetMemberControlName("p1s0001.nc", "P1", 'S'), "0001.nc");
  EXPECT_EQ(SetMemberControlName("P1S00-1.nc", "P1", 'S'), std::nullopt);
  EXPECT_EQ(SetMemberControlName("P1S.nc", "P1", 'S'), std::nullopt);
  EXPECT_EQ(SetMemberControlName("P2S0001.nc", "P1", 'S'), std::nullopt);
  EXPECT_EQ(SetMemberPcName("0001.nc", "P1", 'S'), "P1S0001.nc");
  EXPECT_EQ(SetMemberPcName("P1.NC", "P1", 'S'), "P1.NC");
}

TEST(BackupNames, FileAndDirectoryNames) {
  EXPECT_EQ(FileBackupName("B/PROG", 1), "B/PROG.001");
  EXPECT_EQ(FileBackupName("B/PROG", 12), "B/PROG.012");
  EXPECT_EQ(FileBackupName("B/PROG", 0), "B/PROG.Bak");
  EXPECT_EQ(DirBackupName(3), "Backup3");
  EXPECT_TRUE(FileBackupApplies(1, "/BK/", "/PC/PROG.NC"));
  EXPECT_FALSE(FileBackupApplies(0, "/BK/", "/PC/PROG.NC"));
  EXPECT_FALSE(FileBackupApplies(1, "/B", "/PC/PROG.NC"));
  EXPECT_FALSE(FileBackupApplies(1, "/pc/", "/PC/PROG.NC"));
}

TEST(BackupNames, TwoMinuteRule) {
  WallTime t0{};
  EXPECT_FALSE(DirBackupDue(t0, t0 + std::chrono::seconds(120)));
  EXPECT_TRUE(DirBackupDue(t0, t0 + std::chrono::milliseconds(120001)));
}

}  // namespace
}  // namespace zova
