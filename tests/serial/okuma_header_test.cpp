// The Okuma file-name header: the name the control files a send under, and
// its padding, from the Filnavn cell and the machine's keys.

#include "serial/variants/okuma_header.h"

#include <gtest/gtest.h>

namespace zova {
namespace {

using K = OkumaSendKind;

const std::string kBlanks = "    ";
const std::string kNuls(3, '\0');

struct HeaderCase {
  const char* why;
  K kind;
  const char* cell;
  std::string header;
  OkumaHeaderKeys keys = {};
};

OkumaHeaderKeys With(void (*change)(OkumaHeaderKeys&)) {
  OkumaHeaderKeys k;
  change(k);
  return k;
}

TEST(OkumaHeader, NameAndPaddingFollowTheControlsRules) {
  const HeaderCase cases[] = {
      {"a digit gets the prefix, no extension gets .MIN", K::Program, "12", "$P12.MIN" + kBlanks},
      {"the station's extension is a main program", K::Program, "12.NC", "$P12.MIN" + kBlanks},
      {"upper-cased, blanks around trimmed", K::Program, " o1000.nc ", "$O1000.MIN" + kBlanks},
      {"Windows directories", K::Program, "C:\\CNC\\PROG\\O1000.NC", "$O1000.MIN" + kBlanks},
      {"a drive without directory", K::Program, "D:O1000.NC", "$O1000.MIN" + kBlanks},
      {"the station's own path", K::Program, "/var/lib/zova/M1/7.NC", "$P7.MIN" + kBlanks},
      {"another extension is the control's own", K::Program, "SUB1.SSB", "$SUB1.SSB" + kBlanks},
      {"only the whole extension counts", K::Program, "O1.NCX", "$O1.NCX" + kBlanks},
      {"an empty cell", K::Program, "", "$A.MIN" + kBlanks},
      {"an extension without a name", K::Program, ".NC", "$A.MIN" + kBlanks},
      {"a bare dot is no extension", K::Program, "P12.", "$P12.MIN" + kBlanks},
      {"a long name is cut", K::Program, "ABCDEFGHIJKLMNOPQRST", "$ABCDEFGHIJKLMNOP.MIN" + kBlanks},
      {"only the name part is cut", K::Program, "ABCDEFGHIJKLMNOPQRST.NC",
       "$ABCDEFGHIJKLMNOP.MIN" + kBlanks},
      {"the prefix counts in the length", K::Program, "12345.NC", "$P123.MIN" + kBlanks,
       With([](OkumaHeaderKeys& k) { k.okumaNavn = 4; })},
      {"a length below one is the default", K::Program, "ABCDEFGHIJKLMNOPQRST",
       "$ABCDEFGHIJKLMNOP.MIN" + kBlanks, With([](OkumaHeaderKeys& k) { k.okumaNavn = 0; })},
      {"another prefix", K::Program, "7.NC", "$X7.MIN" + kBlanks,
       With([](OkumaHeaderKeys& k) { k.prefiks = "X"; })},
      {"Ext .MIN: a .NC file keeps its extension", K::Program, "PROG.NC", "$PROG.NC" + kBlanks,
       With([](OkumaHeaderKeys& k) { k.ext = ".MIN"; })},
      {"no Ext: every extension stays", K::Program, "PROG.NC", "$PROG.NC" + kBlanks,
       With([](OkumaHeaderKeys& k) { k.ext = ""; })},
      {"Ext without its dot", K::Program, "PROG.NC", "$PROG.MIN" + kBlanks,
       With([](OkumaHeaderKeys& k) { k.ext = "nc"; })},
      {"tool data", K::Tool, "O1000.NC", "$TOOL.MIN" + kBlanks},
      {"a listing", K::Directory, "*.NC", "$DIR.MIN" + kBlanks},
      {"a receipt", K::Receipt, "O1000.NC", "$OK.MIN" + kBlanks},
      {"an error receipt", K::ErrorReceipt, "O1000.NC", "$FEIL.MIN" + kBlanks},
      {"without FilNavnUt a program carries no name", K::Program, "O1000.NC", "$A.MIN" + kBlanks,
       With([](OkumaHeaderKeys& k) { k.filNavnUt = false; })},
      {"without FilNavnUt the fixed names stay", K::Tool, "O1000.NC", "$TOOL.MIN" + kBlanks,
       With([](OkumaHeaderKeys& k) { k.filNavnUt = false; })},
      {"NullSpace", K::Program, "12", "$P12.MIN" + kNuls,
       With([](OkumaHeaderKeys& k) { k.nullSpace = true; })},
      {"a leader puts the NULs in front", K::Program, "12", kNuls + "$P12.MIN",
       With([](OkumaHeaderKeys& k) { k.leader = 5; })},
      {"the leader wins over NullSpace", K::Program, "12", kNuls + "$P12.MIN",
       With([](OkumaHeaderKeys& k) {
         k.leader = 1;
         k.nullSpace = true;
       })},
  };
  for (const HeaderCase& c : cases)
    EXPECT_EQ(OkumaHeader(c.kind, c.cell, c.keys), c.header) << c.why;
}

TEST(OkumaHeader, PrefixMustBeginWithALetter) {
  const struct {
    const char* value;
    const char* prefix;
  } cases[] = {{"P", "P"},  {"x", "X"},    {" PRG ", "PRG"}, {"", "P"},     {"1A", "P"},
               {"_Q", "P"}, {"\xC6", "P"}, {"PRG/1", "PRG"}, {"Q2 X", "Q2"}};
  for (const auto& c : cases) EXPECT_EQ(OkumaPrefiks(c.value), c.prefix) << c.value;
}

}  // namespace
}  // namespace zova
