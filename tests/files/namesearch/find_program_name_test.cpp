#include <gtest/gtest.h>

#include "core/latin1.h"
#include "files/namesearch/search_config.h"
#include "support/test_support.h"

namespace zova {
namespace {

FindInput Input(SearchMode mode, std::string_view header) {
  FindInput in;
  in.mode = mode;
  in.keys = {"K", "(", ")", "K", "(", ")"};
  in.headerText = header;
  in.extraChars.set('/');
  return in;
}

NameResult Search(const FindInput& in, NameResult r = {}) {
  FindProgramName(in, r);
  return r;
}

TEST(FindProgramName, LineWindows) {
  struct {
    const char* what;
    SearchMode mode;
    int startLinje, maxLinjer;
    const char* header;
    const char* name;
  } cases[] = {
      {"save from line 2", smSave, 2, 4, "K(NAME1) K(NAME2) ", "NAME2"},
      {"fetch always from line 1", smFetch, 2, 4, "K(NAME1) K(NAME2) ", "NAME1"},
      {"line beyond MaxLinjer", smFetch, 1, 4, "A B C D K(NAME) ", "0000"},
      {"last line of the window", smFetch, 1, 4, "A B C K(NAME) ", "NAME"},
      {"StartLinje past the text", smSave, 9, 12, "K(NAME) ", "0000"},
  };
  for (const auto& c : cases) {
    FindInput in = Input(c.mode, c.header);
    in.startLinje = c.startLinje;
    in.maxLinjer = c.maxLinjer;
    in.maxLinjer2 = c.maxLinjer;
    EXPECT_EQ(Search(in).name, c.name) << c.what;
  }
}

TEST(FindProgramName, FoundIsTheModeKey) {
  FindInput in = Input(smFetch, "N5545P1234 ");
  in.keys = {"N554", "P", "", "N554", "P", ""};
  NameResult r = Search(in);
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.name, "0000");
  in.tallSjekk = false;
  r = Search(in);
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.name, "1234");

  in.keys.key.clear();  // an empty key never finds anything
  r = Search(in);
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.name, "0000");
}

TEST(FindProgramName, FilNavnProgramAsksForTheNameInSaveModeOnly) {
  FindInput in = Input(smSave, "K(NAME) ");
  in.filNavnProgram = true;
  NameResult before;
  before.name = "KEEP";
  before.extended = true;
  NameResult r = Search(in, before);
  EXPECT_TRUE(r.askName);
  EXPECT_TRUE(r.found);
  EXPECT_FALSE(r.extended);
  EXPECT_EQ(r.name, "KEEP");

  in.mode = smFetch;
  r = Search(in, before);
  EXPECT_FALSE(r.askName);
  EXPECT_EQ(r.name, "NAME");
}

TEST(FindProgramName, PadsDigitsInEveryModeButDirectory) {
  for (SearchMode mode : {smFetch, smSave, smDirectory, smPrint, smTool}) {
    FindInput in = Input(mode, "K(P12) ");
    in.tallLengde = 5;
    EXPECT_EQ(Search(in).name, mode == smDirectory ? "P12" : "P00012") << mode;
  }
  FindInput none = Input(smFetch, "G0 ");
  none.tallLengde = 5;
  EXPECT_EQ(Search(none).name, "0000");
}

TEST(FindProgramName, UnknownMethodNumberRunsStandard) {
  FindInput in = Input(smFetch, "K(NAME) ");
  for (int method : {-1, 27, 1000}) {
    in.method = method;
    EXPECT_EQ(Search(in).name, "NAME") << method;
  }
}

// Long, blank-free or repetitive texts: every method and mode must end
// quickly and inside the text (AddressSanitizer watches the bounds).
TEST(FindProgramName, PathologicalTextsEveryMethod) {
  const std::string texts[] = {
      std::string(100000, '('),
      [] {
        std::string s;
        while (s.size() < 100000) s += "N5545P";
        return s;
      }(),
      std::string(100000, '0'),
      std::string(100000, '\xA3'),
      std::string("\0\0\x12(S)(", 8) + std::string(5000, 'J'),
      "",
      "(",
  };
  for (const std::string& t : texts) {
    for (int method = 0; method < kMethodCount; ++method) {
      for (SearchMode mode : {smFetch, smSave, smDirectory, smPrint, smTool}) {
        FindInput in = Input(mode, t);
        in.method = method;
        in.keys = {"(",
                   "(",
                   ")",
                   "\xA3"
                   "0",
                   "\xA3",
                   ""};
        in.maxLengde = 255;
        in.maxLinjer = 1000;
        in.maxLinjer2 = 2000;
        NameResult r = Search(in);
        EXPECT_FALSE(r.name.empty()) << method << " " << mode;
      }
    }
  }
}

TEST(HenteProgram, EveryValueSelectsItsMethod) {
  struct {
    const char* value;
    int method;
  } cases[] = {
      {"STANDARD", 0},      {"OKUMA", 1},        {"DOBBEL", 2},
      {"DOBBELT", 2},       {"STANDARD2", 2},    {"ENKELT", 3},
      {"NUMMER", 4},        {"NUMMER2", 5},      {"FANUCIJK", 6},
      {"FANUCJK", 7},       {"UNIVERSAL", 8},    {"UNIVERSAL2", 9},
      {"SIEMENS3", 10},     {"SIEMENS8", 11},    {"X", 12},
      {"PARENTESER", 12},   {"OKUMAX", 13},      {"OKUMAPARENTESER", 13},
      {"PHILIPS", 14},      {"FANUCKASETT", 15}, {"XYZ", 16},
      {"SIEMENSX", 17},     {"SIEMENSXYZ", 17},  {"MAZATROLLANGT", 18},
      {"MAZATROLKORT", 19}, {"KOMMENTARER", 20}, {"FAPTKOMMENTARER", 21},
      {"CINCINATTI", 22},   {"SIEMENSIJK", 23},  {"IJK", 24},
      {"NUMMERSERIE", 25},  {"SIEMENS_N", 26},
  };
  for (const auto& c : cases) {
    bool known = false;
    EXPECT_EQ(HenteProgramMethod(c.value, known), c.method) << c.value;
    EXPECT_TRUE(known) << c.value;
  }
  bool known = true;
  EXPECT_EQ(HenteProgramMethod("standard", known), 0);  // values arrive upper-cased
  EXPECT_FALSE(known);
}

TEST(HenteProgram, UnknownValueFallsBackWithOneNotice) {
  test::ScopedUiHost ui;
  {
    test::ScopedIni ini(
        "[Maskin3]\nHenteProgram=Fanuc\n[Maskin4]\nHenteProgram=\n"
        "[Maskin5]\nHenteProgram=parenteser\n");
    EXPECT_EQ(ReadNameSearchConfig(3).method, 0);
    EXPECT_EQ(ReadNameSearchConfig(4).method, 0);
    EXPECT_EQ(ReadNameSearchConfig(5).method, 12);
  }
  auto notices = ui.host.Notices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].caption, "Maskin3");
  EXPECT_EQ(notices[0].text, "Ugyldig henteprogram: FANUC");
}

TEST(NameSearchConfig, ReadsTheMachineSection) {
  test::ScopedUiHost ui;
  test::ScopedIni ini(
      "[Program]\nExt=.mpf\n"
      "[Maskin1]\n"
      "[Maskin2]\nHent=7000\nStartHent=[STX]\nDirHent=(K)(\nHentDir=(Q)(\nMaxLengde=300\n"
      "KatalogTegn=\\\nFilNavnTegn=;#\nMaxLinjer=6\nTool=t(\nExt=.h\n"
      "[Maskin3]\nDirHent=(K)(\nStartLagre=<\nMaxLengde=-4\n");
  NameSearchConfig d = ReadNameSearchConfig(1);
  ModeKeys f = KeysForMode(d, smFetch);
  EXPECT_EQ(f.key, "M30");
  EXPECT_EQ(f.start2, "(");
  EXPECT_EQ(d.seriesThreshold, 5000);
  EXPECT_EQ(d.maxLengde, 20);
  EXPECT_EQ(d.programExt, ".MPF");
  EXPECT_TRUE(d.extraChars.test('/'));
  EXPECT_EQ(KeysForMode(d, smDirectory).key, "(D)(");
  EXPECT_EQ(KeysForMode(d, smPrint).start1, "(P)(");
  EXPECT_EQ(KeysForMode(d, smTool).key, "");

  NameSearchConfig m = ReadNameSearchConfig(2);
  EXPECT_EQ(m.seriesThreshold, 7000);
  EXPECT_EQ(KeysForMode(m, smFetch).start1, "\x02");
  EXPECT_EQ(KeysForMode(m, smFetch).start2, "\x02");
  EXPECT_EQ(KeysForMode(m, smDirectory).key, "(Q)(");
  EXPECT_EQ(KeysForMode(m, smDirectory).start1, "(Q)(");
  EXPECT_EQ(KeysForMode(m, smTool).key, "T(");
  EXPECT_EQ(m.maxLengde, 255);
  EXPECT_EQ(m.maxLinjer2, 6);
  EXPECT_EQ(m.programExt, ".H");
  EXPECT_TRUE(m.extraChars.test('\\') && m.extraChars.test(';') && m.extraChars.test('#'));
  EXPECT_FALSE(m.extraChars.test('/'));

  NameSearchConfig o = ReadNameSearchConfig(3);
  EXPECT_EQ(KeysForMode(o, smDirectory).start1, "(K)(");
  ModeKeys s = KeysForMode(o, smSave);
  EXPECT_EQ(s.key, "<");
  EXPECT_EQ(s.key2, "<");
  EXPECT_EQ(KeysForMode(o, smPrint).key2, "<");
  EXPECT_EQ(o.maxLengde, 0);
  EXPECT_EQ(ui.host.NoticeCount(), 0u);
}

}  // namespace
}  // namespace zova
