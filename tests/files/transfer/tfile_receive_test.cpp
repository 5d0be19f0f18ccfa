// Receptions through TFile on a temporary directory: what each kind of
// reception becomes, how its line ends are stored, and that names and heads
// from a control stay within bounds.

#include <gtest/gtest.h>

#include "core/latin1.h"
#include "tfile_support.h"

namespace zova {
namespace {

using test::Exists;
using test::ReadFile;
using test::WriteFile;

struct TFileReceive : ::testing::Test, test::TFileFixture {};

TEST_F(TFileReceive, ClassifiesEachKindOfReception) {
  enum Kind { kProgram, kRequest, kDirectory, kPrint, kMacro, kToolData, kToolName };
  struct Case {
    const char* keys;
    const char* text;
    Kind kind;
    const char* name;
  } cases[] = {
      // M30 beyond the head's lines: a program; right after the name: a request.
      {"", "%\r\n(P1234)\r\nG0X0\r\nG1X1\r\nG1X2\r\nM30\r\n%\r\n", kProgram, "P1234.NC"},
      {"", "%\r\n(P12.MPF)\r\nG0X0\r\nM2\r\n%\r\n", kProgram, "P12.MPF"},
      {"", "%\r\nG0X0\r\nM2\r\n%\r\n", kProgram, "0000.NC"},
      {"", "%\r\n(O77)M30\r\n%\r\n", kRequest, "O77.NC"},
      {"DirFilType=FANUC", "%\r\n(D)(P1)\r\n%\r\n", kDirectory, "P1*.NC"},
      {"DirFilType=FANUC", "%\r\n(D)(0000)\r\n%\r\n", kDirectory, "*.NC"},
      {"", "%\r\n(P)(LISTE)\r\nABCDEF\r\n%\r\n", kPrint, "LISTE"},
      {"MakroProgram=PARENTESER", "%\r\n(M)(12)(AB-1)\r\n%\r\n", kMacro, ""},
      {"ToolProtokoll=STANDARD\nToolLagre=TOOLS", "%\r\n(TOOLS)\r\nT1 L100\r\n%\r\n", kToolData,
       ""},
      {"ToolProtokoll=FANUC\nTool=T", "%\r\n(T5)\r\nM30\r\n%\r\n", kToolName, "T5.TD"},
      // A method with its own tool code needs no Tool key; without a tool
      // protocol the same text is no tool request, and a key method without
      // its key finds none.
      {"HenteProgram=PARENTESER\nToolProtokoll=FANUC", "%\r\n(T)(T100)\r\n%\r\n", kToolName,
       "T100.TD"},
      {"HenteProgram=PARENTESER", "%\r\n(T)(T100)\r\n%\r\n", kProgram, "0000.NC"},
      {"ToolProtokoll=FANUC", "%\r\n(T5)\r\nM30\r\n%\r\n", kRequest, "T5.NC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto d = Make(c.keys);
    test::Reception r = Receive(*d, c.text, false);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(d->IsProgram, c.kind == kProgram);
    EXPECT_EQ(d->IsRequest, c.kind == kRequest);
    EXPECT_EQ(d->IsDirectory, c.kind == kDirectory);
    EXPECT_EQ(d->IsPrint, c.kind == kPrint);
    EXPECT_EQ(d->IsMacro, c.kind == kMacro);
    EXPECT_EQ(d->IsToolData, c.kind == kToolData);
    EXPECT_EQ(d->IsToolName, c.kind == kToolName);
    EXPECT_EQ(d->TransferName, c.name);
  }
}

TEST_F(TFileReceive, MacroIsLoggedAndShown) {
  auto d = Make("MakroProgram=PARENTESER\nLoggeFil=" + (data / "status.sdv"));
  Receive(*d, "%\r\n(M)(12)(AB-1)\r\n%\r\n");
  EXPECT_EQ(Cell(kColMelding), "Logget 12;AB-1");
  EXPECT_NE(ReadFile(data / "STATUS.SDV").find(";12;AB-1"), std::string::npos);
  Receive(*d, "%\r\n(M)(4)(P9)\r\n%\r\n");
  EXPECT_EQ(Cell(kColFilnavn), "P9.NC");
}

TEST_F(TFileReceive, ProgramIsStoredAndRequestIsNot) {
  auto d = Make("");
  Receive(*d, "%\r\n(P1)\r\nG0X0\r\n%\r\n");
  EXPECT_EQ(ReadFile(M() + "P1.NC"), "%\r\n(P1)\r\nG0X0\r\n%\r\n");
  EXPECT_EQ(Cell(kColFilnavn), "P1.NC");
  Receive(*d, "%\r\n(O77)M30\r\n%\r\n");
  EXPECT_FALSE(Exists(M() + "O77.NC"));
  EXPECT_EQ(Cell(kColFilnavn), "O77.NC");
  // A request whose name is IgnorerFilNavn leaves the cell alone.
  auto i = Make("IgnorerFilNavn=O77.NC");
  Receive(*i, "%\r\n(O77)M30\r\n%\r\n");
  EXPECT_EQ(Cell(kColFilnavn), "O77.NC");
  Receive(*i, "%\r\n(O78)M30\r\n%\r\n");
  EXPECT_EQ(Cell(kColFilnavn), "O78.NC");
}

TEST_F(TFileReceive, LineEndsDecideTheStore) {
  struct Case {
    std::string text, stored;
  } cases[] = {
      // Bare LF: normalised.
      {"%\n(A)\nG1\n\n%\n", "%\r\n(A)\r\nG1\r\n%\r\n"},
      // CR LF followed by an ordinary character: byte for byte.
      {"%\r\n(A)\nG1\n\n%", "%\r\n(A)\nG1\n\n%"},
      // CR LF CR: normalised.
      {"%\r\n\r\n(A)\nG1\r%", "%\r\n(A)\r\nG1\r\n%"},
      // Bare CR: normalised.
      {"%\r(A)\rG1\r", "%\r\n(A)\r\nG1\r\n"},
  };
  auto d = Make("");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(Receive(*d, c.text).ok);
    EXPECT_EQ(ReadFile(M() + "A.NC"), c.stored);
  }
}

TEST_F(TFileReceive, FjernTegnIsDroppedOnReceiveButNotByRawWrites) {
  auto d = Make("FjernTegn=[NUL]#");
  Receive(*d, std::string("%\r\n(A)\r\n\0\0G#1\r\n%", 16));
  EXPECT_EQ(ReadFile(M() + "A.NC"), "%\r\n(A)\r\nG1\r\n%");
  bool ok = false;
  d->ResetTransfer();
  d->OpenReceiveFile(ok);
  d->StoreLine("#1", ok);
  d->StoreRawByte('\n', ok);
  d->SetFileName("RAW");
  d->CloseAndStore(ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(d->LineEnd.Value(), LineEndState::kCrLf);
  EXPECT_EQ(ReadFile(M() + "RAW.NC"), "#1\r\n\n");
}

TEST_F(TFileReceive, NoiseIsNotStored) {
  auto d = Make("Noise=5");
  test::Reception r = Receive(*d, "(A)\r\n");
  EXPECT_TRUE(r.tooShort);
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(Exists(M() + "A.NC"));
  r = Receive(*d, "(A)\r\nX");
  EXPECT_FALSE(r.tooShort);
  EXPECT_TRUE(Exists(M() + "A.NC"));
}

TEST_F(TFileReceive, ExtendFromUtvidMarker) {
  auto d = Make("Utvid=(TILLEGG)");
  WriteFile(M() + "A.NC", "OLD\r\n");
  Receive(*d, "(A)(TILLEGG)\r\nNEW\r\n");
  EXPECT_TRUE(d->IsExtend);
  EXPECT_EQ(ReadFile(M() + "A.NC"), "OLD\r\n(A)(TILLEGG)\r\nNEW\r\n");
}

TEST_F(TFileReceive, SecondSetGoesToKatalog2) {
  auto d = Make("HenteProgram=DOBBEL\nStartLagre2=<\nStoppLagre2=>\nKatalog2=" + (data / "M1B/"));
  ForceDirectories(data / "M1B/");
  Receive(*d, "%\r\n<B7>\r\nG0\r\n%\r\n");
  EXPECT_TRUE(Exists(data / "M1B/B7.NC")) << d->TransferName;
  EXPECT_TRUE(d->UseFirstSet);  // back for the next reception
}

TEST_F(TFileReceive, NamesThatClimbOutAreStoredAsNoName) {
  auto d = Make("FastKatalog=False");
  Receive(*d, "%\r\n(../../../ETC/EVIL)\r\nG0\r\n%\r\n");
  EXPECT_EQ(d->TransferName, UpperCase(M()) + "0000.NC");
  EXPECT_EQ(ReadFile(M() + "0000.NC"), "%\r\n(../../../ETC/EVIL)\r\nG0\r\n%\r\n");
  EXPECT_NE(Cell(kColMelding).find("Ulovlig katalog"), std::string::npos);
  EXPECT_FALSE(Exists(data / "../../ETC/EVIL.NC"));
  // A subdirectory of the machine directory stays allowed.
  ForceDirectories(M() + "SUB");
  Receive(*d, "%\r\n(SUB/P2)\r\nG0\r\n%\r\n");
  EXPECT_TRUE(Exists(M() + "SUB/P2.NC"));
  // A request that climbs out does not name the file outside.
  Receive(*d, "%\r\n(../../X)M30\r\n%\r\n");
  EXPECT_TRUE(d->IsRequest);
  EXPECT_EQ(Cell(kColFilnavn), UpperCase(M()) + "0000.NC");
}

TEST_F(TFileReceive, FellesKatalogerReachesTheParent) {
  auto d = Make("", "FellesKataloger=True");
  ForceDirectories(data / "SHARED");
  Receive(*d, "%\r\n(SHARED/P3)\r\nG0\r\n%\r\n");
  EXPECT_TRUE(Exists(data / "SHARED/P3.NC")) << d->TransferName;
}

TEST_F(TFileReceive, HeadStaysBoundedAndClassifiesWhenFull) {
  auto d = Make("MaxHent=20\nMaxHent2=30");
  bool ok = false;
  d->ResetTransfer();
  d->OpenReceiveFile(ok);
  d->AddLineToHead("(P5)");
  for (int i = 0; i < 100000; ++i) d->AddToHead(static_cast<char>('A' + i % 26));
  EXPECT_EQ(d->Head.size(), 30u);
  EXPECT_TRUE(d->Classified);
  EXPECT_EQ(d->TransferName, "P5.NC");
  bool tooShort = false;
  d->CloseReceiveFile(false, 0, tooShort, ok);
}

TEST_F(TFileReceive, ToolDataIsSavedAndLogged) {
  auto d = Make("ToolProtokoll=EMCODREI\nToolLagre=%T\nToolReg=" + (data / "TOOLS/") +
                    "\nHendelser=True\nHendelsesFil=" + (data / "events.txt"),
                "");
  ForceDirectories(data / "TOOLS");
  Receive(*d, "%T0042\r\nT01 X1\r\nM30\r\n");
  EXPECT_TRUE(d->IsToolData);
  EXPECT_EQ(ReadFile(data / "TOOLS/0042.TD"), "%T0042\r\nT01 X1\r\nM30\r\n");
  EXPECT_NE(ReadFile(data / "EVENTS.TXT").find(Latin1ToUtf8(L1("Verktøydata lagret som "))),
            std::string::npos)
      << ReadFile(data / "EVENTS.TXT");
  // A register of records is never overwritten by received text.
  auto r = Make("ToolProtokoll=STANDARD\nToolLagre=TOOLS\nToolReg=" + (data / "TOOLS/REG.DAT") +
                "\nHendelser=True\nHendelsesFil=" + (data / "events.txt"));
  WriteFile(data / "TOOLS/REG.DAT", "records");
  Receive(*r, "(TOOLS)\r\nT1 L100\r\n");
  EXPECT_EQ(ReadFile(data / "TOOLS/REG.DAT"), "records");
  EXPECT_TRUE(Exists(data / "TOOLS/TOOL.TD"));
  // Unwritable target: the failure line.
  auto f = Make("ToolProtokoll=STANDARD\nToolLagre=TOOLS\nToolReg=" + (data / "NOWHERE/") +
                "\nHendelser=True\nHendelsesFil=" + (data / "events.txt"));
  EXPECT_FALSE(Receive(*f, "(TOOLS)\r\nT1 L100\r\n").ok);
  EXPECT_NE(ReadFile(data / "EVENTS.TXT").find(Latin1ToUtf8(L1("Verktøylagring feilet ("))),
            std::string::npos);
}

TEST_F(TFileReceive, ReceiveFileFallsBackToNumberedNames) {
  auto d = Make("");
  ForceDirectories(tmp / "Maskin1.RX");  // a directory where the file should be
  bool ok = false;
  d->OpenReceiveFile(ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(d->TempName, tmp / "Maskin1.RX0");
  bool closed = false;
  d->CloseFile(closed);
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace zova
