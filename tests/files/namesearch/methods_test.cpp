// Every HenteProgram method: its main form in fetch and save mode, its second
// form where it has one, and texts that must not match.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "files/namesearch/search_config.h"

namespace zova {
namespace {

struct Case {
  const char* what;
  SearchMode mode;
  std::string header;
  std::string name;
  int found = -1;  // -1: not checked
  int firstPair = -1;
  int extended = -1;
  std::function<void(NameSearchConfig&)> cfg = nullptr;
};

void Check(int method, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NameSearchConfig cfg;
    cfg.extraChars.set('/');
    if (c.cfg) c.cfg(cfg);
    cfg.method = method;
    NameResult r = FindProgramNameWith(cfg, c.mode, c.header);
    EXPECT_EQ(r.name, c.name);
    if (c.found >= 0) {
      EXPECT_EQ(r.found, c.found == 1);
    }
    if (c.firstPair >= 0) {
      EXPECT_EQ(r.firstPair, c.firstPair == 1);
    }
    if (c.extended >= 0) {
      EXPECT_EQ(r.extended, c.extended == 1);
    }
  }
}

auto Hent(std::string key) {
  return [key](NameSearchConfig& c) { c.hent = key; };
}
auto MaxLen(uint8_t l) {
  return [l](NameSearchConfig& c) { c.maxLengde = l; };
}
auto SecondFetchSet(std::string start, std::string stop) {
  return [start, stop](NameSearchConfig& c) {
    c.hent2 = "M99";
    c.startHent2 = start;
    c.stoppHent2 = stop;
  };
}

TEST(Method0Standard, KeyStartStop) {
  Check(0, {
               {"fetch", smFetch, "% (O1234) M30 % ", "O1234", 1},
               {"save", smSave, "% (PART-7) G0X0 ", "PART-7", 1},
               {"fetch without key", smFetch, "% (O1234) G0 % ", "0000", 0},
               {"directory first only", smDirectory, "(D)( (D)(ABC) ", "0000", 1},
               {"print all occurrences", smPrint, "(P)( (P)(ABC) ", "ABC", 1},
           });
}

TEST(Method1Okuma, DollarNamesAndMinExtension) {
  auto nc = [](NameSearchConfig& c) { c.programExt = ".NC"; };
  auto min = [](NameSearchConfig& c) { c.programExt = ".MIN"; };
  Check(1, {
               {"save with %", smSave, "$O1234.MIN%", "O1234.NC", -1, -1, -1, nc},
               {"save without %", smSave, "$O1234.MIN", "0000", -1, -1, -1, nc},
               {"fetch without %", smFetch, "$O1234.MIN M30 ", "O1234.NC", 1, -1, -1, nc},
               {"fetch with %", smFetch, "$O1234.MIN% M30 ", "0000", -1, -1, -1, nc},
               {"parentheses first", smFetch, "(O55) M30 ", "O55", 1},
               {"program extension .MIN kept", smSave, "$O1.MIN%", "O1.MIN", -1, -1, -1, min},
               {"nothing before .MIN", smSave, "$.MIN%", "0000", -1, -1, -1,
                [](NameSearchConfig& c) { c.programExt = ""; }},
           });
}

TEST(Method2Dobbel, SecondSetClearsFirstPair) {
  Check(2, {
               {"fetch first set", smFetch, "(A1) M30 ", "A1", 1, 1},
               {"fetch second set", smFetch, "<B2> M99 ", "B2", 0, 0, -1, SecondFetchSet("<", ">")},
               {"no match", smFetch, "G0 ", "0000", 0, 1},
               {"save", smSave, "(P1) ", "P1", 1, 1},
           });
}

TEST(Method3Enkelt, RequestsAreShort) {
  std::string long40 = "(A1) M30 " + std::string(31, 'G');
  std::string long39 = "(A1) M30 " + std::string(30, 'G');
  Check(3, {
               {"fetch", smFetch, "(A1) M30 ", "A1", 1},
               {"40 characters with L 20", smFetch, long40, "0000"},
               {"39 characters", smFetch, long39, "A1"},
               {"save is never too long", smSave, "(P1) " + std::string(100, 'G'), "P1"},
               {"first only", smFetch, "() (A1) M30 ", "0000"},
           });
}

TEST(Method4Nummer, NumericPaddedToMaxLength) {
  Check(4, {
               {"fetch", smFetch, "(123) M30 ", "000123", 1, -1, -1, MaxLen(6)},
               {"save", smSave, "(45) ", "000045", -1, -1, -1, MaxLen(6)},
               {"directory not padded", smDirectory, "(D)(12) ", "12", -1, -1, -1, MaxLen(6)},
               {"letters", smFetch, "(ABC) M30 ", "0000", -1, -1, -1, MaxLen(6)},
           });
}

TEST(Method5Nummer2, NumericWithSecondSet) {
  auto cfg = [](NameSearchConfig& c) {
    c.maxLengde = 4;
    SecondFetchSet("<", ">")(c);
  };
  Check(5, {
               {"fetch first", smFetch, "(12) M30 ", "0012", 1, 1, -1, cfg},
               {"fetch second", smFetch, "<7> M99 ", "0007", 0, 0, -1, cfg},
               {"no match", smFetch, "G1 ", "0000", 0, 1, -1, cfg},
               {"save", smSave, "(3) ", "0003", -1, -1, -1, cfg},
           });
}

TEST(Method6FanucIJK, MacroCallAndProgramNumbers) {
  Check(
      6,
      {
          {"fetch macro", smFetch, "% G65P9000I5J12K3 M30 ", "5\\123", 1, -1, -1, Hent("P9000")},
          {"save O number", smSave, "% O1234 G0X0 ", "1234"},
          {"save colon number", smSave, "% :1234 G0 ", "1234"},
          {"save after DC2", smSave, "(X) O99 \x12O1234 ", "1234"},
          {"key letter adjusted to colon", smFetch, "% :100J5 M30 ", "5", 1, -1, -1, Hent("O100")},
          {"no call", smFetch, "% G0X0 M30 ", "0000", 0, -1, -1, Hent("P9000")},
      });
}

TEST(Method7FanucJK, JAndKWords) {
  Check(7, {
               {"fetch", smFetch, "% G65P9000J12K3 M30 ", "123", 1, -1, -1, Hent("P9000")},
               {"fetch K only", smFetch, "% G65P9000K7 ", "7", 1, -1, -1, Hent("P9000")},
               {"save", smSave, "% O1234 ", "1234"},
               {"save after DC2", smSave, "O99 \x12:55 ", "55"},
               {"key letter adjusted", smFetch, "% :100K4 ", "4", 1, -1, -1, Hent("O100")},
               {"no call", smFetch, "% G0 M30 ", "0000", 0, -1, -1, Hent("P9000")},
           });
}

TEST(Method8Universal, Template) {
  auto tmpl = [](NameSearchConfig& c) {
    c.startHent = "(\\)(#)";
    c.startLagre = "(#)";
  };
  Check(8,
        {
            {"fetch dir and name", smFetch, "(DIR)(NAME) M30 ", "DIR\\NAME", 1, -1, -1, tmpl},
            {"save name, key cut to its first character", smSave, "(P5) ", "P5", -1, -1, -1, tmpl},
            {"no key", smFetch, "(DIR)(NAME) G0 ", "0000", 0, -1, -1, tmpl},
        });
}

TEST(Method9Universal2, TemplateWithSecondSet) {
  auto cfg = [](NameSearchConfig& c) {
    c.startHent = "(#)";
    c.hent2 = "M99";
    c.startHent2 = "<#>";
    c.startLagre = "(#)";
  };
  Check(9, {
               {"fetch first", smFetch, "(A) M30 ", "A", 1, 1, -1, cfg},
               {"fetch second", smFetch, "<Q7> M99 ", "Q7", 0, 0, -1, cfg},
               {"no match", smFetch, "G0 ", "0000", 0, 1, -1, cfg},
               {"save", smSave, "(P5) ", "P5", -1, -1, -1, cfg},
           });
}

TEST(Method10Siemens3, NumbersOfFourDigits) {
  auto cfg = [](NameSearchConfig& c) {
    c.startHent = "P";
    c.hent2 = "M17";
  };
  Check(10, {
                {"save subprogram", smSave, "%SPL123 ", "L123"},
                {"save main", smSave, "%456 ", "456"},
                {"save max 4", smSave, "%123456 ", "1234"},
                {"save no extra characters", smSave, "%12/3 ", "12"},
                {"fetch", smFetch, "P12 M30 ", "12", 1, -1, -1, cfg},
                {"fetch second key", smFetch, "P77 M17 ", "L77", 0, -1, -1, cfg},
                {"no match", smFetch, "G0 ", "0000", 0, -1, -1, cfg},
            });
}

TEST(Method11Siemens8, MainAndSubprograms) {
  auto cfg = [](NameSearchConfig& c) {
    c.startHent = "P";
    c.hent2 = "M17";
  };
  Check(11, {
                {"save name max 7", smSave, "%ABC1234567 ", "ABC1234"},
                {"save no extra characters", smSave, "%AB#C ", "AB", -1, -1, -1,
                 [](NameSearchConfig& c) { c.extraChars.set('#'); }},
                {"fetch main", smFetch, "P12 M30 ", "MPF12", -1, -1, -1, cfg},
                {"fetch sub", smFetch, "P5 M17 ", "SPF5", -1, -1, -1, cfg},
                {"no match", smFetch, "G0 ", "0000", -1, -1, -1, cfg},
            });
}

TEST(Method12Parenteser, Codes) {
  Check(12, {
                {"save dir and name", smSave, "(S)(DIR)(NAME) ", "DIR\\NAME", 1, 1, 0},
                {"save name", smSave, "(S)(NAME) ", "NAME", 1},
                {"extend", smSave, "(E)(NAME) ", "NAME", 1, 1, 1},
                {"extend without name", smSave, "(E)() ", "0000", 1, 1, 0},
                {"code after )", smSave, ")(S)(NAME) ", "0000", 0},
                {"save falls back to digits", smSave, "% O1234 G0 ", "1234", 0},
                {"fetch", smFetch, "(L)(PART) ", "PART", 1, 1},
                {"fetch second form", smFetch, "(F)(PART) ", "PART", 1, 0},
                {"fetch of a save code", smFetch, "(S)(PART) ", "0000", 0, 1},
                {"directory", smDirectory, "(D)(SUB) ", "SUB\\", 1},
                {"print", smPrint, "(P)(A1) ", "A1", 1},
                {"tool", smTool, "(T)(T5) ", "T5", 1},
                {"8-bit double length", smSave, "(S)(" + std::string(150, 'A') + ")(N) ",
                 std::string(144, 'A'), 1, -1, -1, MaxLen(200)},
            });
}

TEST(Method13OkumaParenteser, CodesThenDollarNames) {
  auto nc = [](NameSearchConfig& c) { c.programExt = ".NC"; };
  auto min = [](NameSearchConfig& c) { c.programExt = ".MIN"; };
  Check(13, {
                {"save code", smSave, "(S)(O12) ", "O12", 1},
                {"save dollar", smSave, "$O1234.MIN%", "O1234.NC", -1, -1, -1, nc},
                {"save without %", smSave, "$O1234.MIN", "0000", -1, -1, -1, nc},
                {"fetch dollar", smFetch, "$O55.MIN ", "O55.MIN", -1, -1, -1, min},
                {"fetch with %", smFetch, "$O55.MIN% ", "0000", -1, -1, -1, min},
                {"fetch second form", smFetch, "(F)(NAME) ", "NAME", 1, 0},
                {"directory", smDirectory, "$DIRABC ", "ABC", 1},
            });
}

TEST(Method14Philips, EWords) {
  auto noCheck = [](NameSearchConfig& c) { c.tallSjekk = false; };
  Check(14, {
                {"fetch", smFetch, "E97=1 E99=12 E98=345 E96=6 ", "12\\3456"},
                {"fetch E100", smFetch, "E100=1 E98=77 ", "77"},
                {"fetch without code", smFetch, "E98=77 ", "0000"},
                {"save code runs into a digit", smSave, "E98=55 ", "0000"},
                {"save code without key check", smSave, "E98=55 ", "55", -1, -1, -1, noCheck},
                {"save percent", smSave, "%123 ", "123"},
                {"save PM", smSave, "PM45 ", "45"},
                {"save N", smSave, "NX N7 ", "7"},
                {"directory", smDirectory, "E97=2 E99=4 ", "4\\0000"},
            });
}

TEST(Method15FanucKasett, CassetteCodes) {
  Check(15, {
                {"fetch", smFetch, "\x1B&H12 ", "12", 1, 1},
                {"fetch code with E", smFetch, "\x1B&HE ", "0000", 0, 1},
                {"fetch second form", smFetch, "(F)(34) ", "34", 1, 0},
                {"fetch second form not first (", smFetch, "A(B)(F)(34) ", "0000", 0, 1},
                {"save colon", smSave, ":123 ", "123", 1},
                {"save O", smSave, "O77 ", "77", 1},
                {"save after DC2", smSave, ":1 \x12 :22 ", "22", 1},
                {"directory", smDirectory, "\x1B&D5 ", "5", 1},
                {"print", smPrint, "#<>#9 ", "9", 1},
            });
}

TEST(Method16XYZ, CoordinateWords) {
  Check(16, {
                {"fetch", smFetch, "X12Y34 M30 ", "1234", 1},
                {"fetch with Z and K", smFetch, "Z5K6X1Y2 M30 ", "56\\12", 1},
                {"fetch with I", smFetch, "X1I9Y2 M30 ", "192", 1},
                {"save", smSave, "(X1Y2) ", "12"},
                {"save falls back to the key", smSave, "(77) ", "77"},
                {"no key", smFetch, "X1Y2 G0 ", "0000", 0},
            });
}

TEST(Method17SiemensXYZ, GCodesAndLastLine) {
  Check(17, {
                {"fetch", smFetch, "G7 %X1Y2 ", "12", 1},
                {"fetch code runs into a digit", smFetch, "G71 %X1Y2 ", "0000", 0},
                {"save without @", smSave, "%123 ", "123", 1},
                {"save with @", smSave, "% @X5Y6 ", "56", 1},
                {"directory", smDirectory, "G8 %X3Y4 ", "34", 1},
            });
}

TEST(Method18MazatrolLangt, ParenthesesAndColonNames) {
  Check(18, {
                {"fetch", smFetch, "(PART1) M30 ", "PART1", 1},
                {"fetch colon name", smFetch, "O1(A:NAME) M30 ", "NAME", 1},
                {"save", smSave, "(O123) ", "O123"},
                {"save MG3- header", smSave, "(MG3-X) O55 ", "55"},
                {"save number only", smSave, "O77 ", "77"},
                {"no key", smFetch, "(PART1) G0 ", "0000", 0},
            });
}

TEST(Method19MazatrolKort, PaddedNumbers) {
  Check(19,
        {
            {"save", smSave, "O12 ", "12", -1, -1, -1, MaxLen(4)},
            {"fetch padded", smFetch, "(7) M30 ", "0007", 1, -1, -1, MaxLen(4)},
            {"fetch path kept", smFetch, "(A/B) M30 ", "A/B", -1, -1, -1, MaxLen(4)},
            {"fetch max 2L+1", smFetch, "(ABCDEFGHIJK) M30 ", "ABCDEFGHI", -1, -1, -1, MaxLen(4)},
            {"no key", smFetch, "(7) G0 ", "0000", 0, -1, -1, MaxLen(4)},
        });
}

TEST(Method20Kommentarer, CommentsThenNumbers) {
  Check(20, {
                {"fetch", smFetch, "(NAME) M30 ", "NAME", 1},
                {"save", smSave, "(NAME) ", "NAME"},
                {"save falls back to digits", smSave, "% O1234 G0 ", "1234"},
                {"no key", smFetch, "(NAME) G0 ", "0000", 0},
            });
}

TEST(Method21FaptKommentarer, CommentsThenFaptBlocks) {
  auto window = [](NameSearchConfig& c) {
    c.maxLinjer = 1;
    c.maxLinjer2 = 3;
  };
  Check(21, {
                {"fetch", smFetch, "(N1) M30 ", "N1", 1},
                {"save comment", smSave, "(P1) ", "P1", -1, 1},
                {"save FAPT pairs last first", smSave, "N5545P34333231 ", "1234", -1, 0},
                {"save two blocks", smSave, "N5545P34333231N5546P38373635 ", "12345678", -1, 0},
                {"save blank ends the name", smSave, "N5545P20203241 ", "A2", -1, 0},
                {"save bad pair ends the name", smSave, "N5545P3433ZZ31 ", "1", -1, 0},
                {"second window", smSave, "% G0 N5545P34333231 ", "1234", -1, 0, -1, window},
                {"save falls back to digits", smSave, "% O1234 G0 ", "1234", -1, 1},
                {"no key", smFetch, "(N1) G0 ", "0000", 0},
            });
}

TEST(Method22Cincinatti, NameFields) {
  Check(22,
        {
            {"save with path", smSave, "NAME=\"PART7\"PATH=\"SUB\" ", "SUB\\PART7", 1},
            {"save PATHALL", smSave, "NAME=\"P1\"PATH=\"PATHALL\" ", "P1", 1},
            {"save without name", smSave, "% G0 ", "0000", 0},
            {"fetch message", smFetch, "NAME=\"REQ\"(MSG,PART9) ", "PART9", 1, -1, -1, Hent("REQ")},
            {"fetch after the tag", smFetch, "(ABC)NAME=\"REQ\"(PART9) ", "PART9", 1, -1, -1,
             Hent("REQ")},
            {"fetch without tag", smFetch, "(MSG,PART9) ", "0000", 0, -1, -1, Hent("REQ")},
        });
}

// A request names the program in a NAME field and, unless a (MSG,...) comment
// names it, in the first parentheses from the field on that give a name.
TEST(Method22Cincinatti, FetchParenthesesAfterTheTag) {
  auto numeric = [](NameSearchConfig& c) { c.bareTall = true; };
  Check(22, {
                {"empty parentheses passed over", smFetch, "NAME=\"M30\" () (PART9) ", "PART9", 1},
                {"unfiltered parentheses passed over", smFetch, "NAME=\"M30\" (;) (PART9) ",
                 "PART9", 1},
                {"0000 passed over", smFetch, "NAME=\"M30\" (0000) (P2) ", "P2", 1},
                {"letters passed over when numeric", smFetch, "NAME=\"M30\" (A) (12) ", "12", 1, -1,
                 -1, numeric},
                {"first parentheses give the name", smFetch, "NAME=\"M30\" (A1) (PART9) ", "A1", 1},
                {"message wins", smFetch, "NAME=\"M30\" (A1) (MSG,PART9) ", "PART9", 1},
                {"message before the tag wins", smFetch, "(MSG,P5) NAME=\"M30\" (A1) ", "P5", 1},
                {"parentheses before the tag only", smFetch, "(PART9) NAME=\"M30\" G0 ", "0000", 1},
                {"only empty parentheses", smFetch, "NAME=\"M30\" () () ", "0000", 1},
                {"no parentheses", smFetch, "NAME=\"M30\" G0 ", "0000", 1},
                {"another program's tag", smFetch, "NAME=\"M31\" () (PART9) ", "0000", 0},
            });
}

TEST(Method23SiemensIJK, LastLineWords) {
  Check(23, {
                {"save without @", smSave, "% O1234 ", "1234"},
                {"save with @", smSave, "%@ J12K3 ", "123"},
                {"fetch", smFetch, "M30 J5K6 ", "56", 1},
                {"no key", smFetch, "J5 G0 ", "0000", 0},
            });
}

TEST(Method24IJK, Words) {
  Check(24, {
                {"fetch", smFetch, "M30 I1J2K3 ", "1\\23", 1},
                {"fetch F Q R", smFetch, "M30 J1F2Q3R4 ", "1234", 1},
                {"save", smSave, "(J4K5) ", "45"},
                {"no key", smFetch, "I1J2 G0 ", "0000", 0},
            });
}

TEST(Method25NummerSerie, SeriesThreshold) {
  auto negative = [](NameSearchConfig& c) {
    c.maxLengde = 10;
    c.seriesThreshold = -5;
  };
  Check(25, {
                {"fetch above", smFetch, "(5123) ", "0123", 1, -1, -1, MaxLen(4)},
                {"fetch below", smFetch, "(123) ", "123", 0, -1, -1, MaxLen(4)},
                {"save below", smSave, "(123) ", "0123", 1, -1, -1, MaxLen(4)},
                {"save above", smSave, "(6000) ", "6000", 0, -1, -1, MaxLen(4)},
                {"directory", smDirectory, "(D)(5123) ", "0000", 0, -1, -1, MaxLen(4)},
                {"no number", smFetch, "G0 ", "0000", 0, -1, -1, MaxLen(4)},
                {"negative threshold", smFetch, "(2147483647) ", "2147483652", 1, -1, -1, negative},
            });
}

TEST(Method26SiemensN, ProgramNames) {
  Check(26, {
                {"codes", smSave, "(S)(DIR)(NAME) ", "DIR\\NAME", 1},
                {"fetch", smFetch, "(MAIN1) M30 ", "MAIN1", 1},
                {"save main", smSave, "%_N_PART1_MPF ", "PART1", -1, 1},
                {"save sub", smSave, "%_N_SUB2_SPF ", "SUB2", -1, 0},
                {"save O", smSave, "% O12 ", "12", -1, 1},
                {"save double blanks", smSave, "%  O12 ", "12", -1, 1},
                {"no name", smSave, "G0 ", "0000", -1, 1},
            });
}

}  // namespace
}  // namespace zova
