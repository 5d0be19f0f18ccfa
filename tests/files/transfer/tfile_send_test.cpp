// Sends through TFile on a temporary directory: which file goes out, its
// substitutes and receipts, and the character rules on the way.

#include <gtest/gtest.h>

#include <cstring>

#include "core/clock.h"
#include "core/latin1.h"
#include "tfile_support.h"

namespace zova {
namespace {

using test::ReadFile;
using test::WriteFile;

struct TFileSend : ::testing::Test, test::TFileFixture {
  bool Open(TFile& d, const std::string& cell, bool allowAlt, bool& raw) {
    model.SetCell(kColFilnavn, 1, cell);
    bool ok = false;
    d.OpenSendFile(allowAlt, raw, ok);
    return ok;
  }
};

TEST_F(TFileSend, FindsTheFileOrItsSubstitutes) {
  struct Case {
    const char* keys;
    const char* cell;
    bool allowAlt;
    bool ok;
    const char* sent;
  } cases[] = {
      {"", "P1", false, true, "P1 DATA"},
      {"", "P1.NC", false, true, "P1 DATA"},
      {"", "MISSING", false, false, ""},
      {"IngenFil=(INGEN FIL)", "MISSING", false, true, "(INGEN FIL)"},
      {"IngenFil=(INGEN FIL)", "MISSING", true, false, ""},
      {"FeilFil=FEIL.NC", "MISSING", true, true, "FEIL DATA"},
      {"FeilFil=FEIL.NC", "MISSING", false, false, ""},
      {"Revisjon=1", "P5", false, true, "P5A DATA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keys) + " " + c.cell);
    auto d = Make(c.keys);
    WriteFile(M() + "P1.NC", "P1 DATA");
    WriteFile(M() + "FEIL.NC", "FEIL DATA");
    WriteFile(M() + "P5A.NC", "P5A DATA");
    bool raw = true;
    EXPECT_EQ(Open(*d, c.cell, c.allowAlt, raw), c.ok);
    EXPECT_FALSE(raw);
    EXPECT_EQ(SendAll(*d), c.sent);
  }
}

TEST_F(TFileSend, AlternativeDirectoriesForPlainNames) {
  test::TempDir alt;
  auto d = Make("AltKatalog1=" + alt.Path());
  WriteFile(alt / "Q1.NC", "ALT");
  bool raw = false;
  ASSERT_TRUE(Open(*d, "Q1", false, raw));
  EXPECT_EQ(SendAll(*d), "ALT");
  EXPECT_FALSE(Open(*d, "SUB\\Q1", false, raw));  // a name with a directory is not looked for
}

TEST_F(TFileSend, MissingDirectoryIsNamed) {
  auto d = Make("");
  bool raw = false;
  EXPECT_FALSE(Open(*d, "NODIR\\P1", false, raw));
  EXPECT_EQ(Cell(kColMelding), "Katalog eksisterer ikke: " + UpperCase(M()) + "NODIR\\");
}

TEST_F(TFileSend, EmptyFileIsRefusedAfterAPause) {
  ManualClock clock;
  ScopedClock scoped(clock);
  auto d = Make("");
  WriteFile(M() + "E.NC", "");
  const int64_t before = clock.TickMs();
  bool raw = false;
  EXPECT_FALSE(Open(*d, "E", false, raw));
  EXPECT_EQ(Cell(kColMelding), "Filen er tom");
  EXPECT_EQ(clock.TickMs() - before, 1000);
}

TEST_F(TFileSend, ConvertedToTxUnlessASystemFile) {
  auto d = Make("FilFormat=NJ", "SysExt=.SPR");
  WriteFile(M() + "P1.NC", "%\r\nO1\r\nN10G0\r\nN20M30\r\n%\r\n");
  bool raw = true;
  ASSERT_TRUE(Open(*d, "P1", false, raw));
  EXPECT_FALSE(raw);
  const std::string sent = SendAll(*d);
  EXPECT_EQ(sent, ReadFile(tmp / "Maskin1.TX"));
  EXPECT_NE(sent, ReadFile(M() + "P1.NC"));
  // A system file goes out as it is and raw.
  WriteFile(M() + "S1.SPR", "%\r\nO1\r\n%\r\n");
  ASSERT_TRUE(Open(*d, "S1.SPR", false, raw));
  EXPECT_TRUE(raw);
  EXPECT_EQ(SendAll(*d), "%\r\nO1\r\n%\r\n");
}

TEST_F(TFileSend, ReceiptPlaceholders) {
  auto d = Make("Kvittering=(FIL #N LAGRET, #B TEGN #N)\nFeilMelding=(FEIL I #N)");
  model.SetCell(kColFilnavn, 1, "P7.NC");
  d->LastCharCount = 1234;
  bool ok = false, raw = false;
  std::string message, kind;
  d->PrepareSend(false, false, ok, raw, message, kind, false, false, true);
  ASSERT_TRUE(ok);
  EXPECT_EQ(kind, "kvitterings");
  EXPECT_EQ(SendAll(*d), "(FIL P7.NC LAGRET, 1234 TEGN #N)");
  d->PrepareSend(false, false, ok, raw, message, kind, false, true, true);
  EXPECT_EQ(SendAll(*d), "(FEIL I P7.NC)");
  // The default receipt, with CR characters.
  auto plain = Make("");
  plain->PrepareSend(false, false, ok, raw, message, kind, false, false, true);
  EXPECT_EQ(SendAll(*plain), "\r%\r(FIL LAGRET)\r%\r");
}

TEST_F(TFileSend, KindWords) {
  auto d = Make("DirFilType=FANUC\nToolProtokoll=STANDARD\nToolReg=" + (data / "REG.DAT"),
                "SysExt=.SPR");
  WriteFile(M() + "P1.NC", "X");
  WriteFile(M() + "S1.SPR", "X");
  struct Case {
    bool tool, dir;
    const char* cell;
    std::string kind;
    bool raw;
  } cases[] = {
      {false, false, "P1", "", false},
      {false, false, "S1.SPR", L1("binær"), true},
      {true, false, "P1", L1("verktøy"), false},
      {false, true, "*.NC", "katalog", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    model.SetCell(kColFilnavn, 1, c.cell);
    bool ok = false, raw = false;
    std::string message, kind;
    d->PrepareSend(c.tool, c.dir, ok, raw, message, kind, false, false, false);
    EXPECT_TRUE(ok) << message;
    EXPECT_EQ(kind, c.kind);
    EXPECT_EQ(raw, c.raw);
  }
}

TEST_F(TFileSend, ToolFileFromAnEmptyRegister) {
  auto d = Make("ToolProtokoll=STANDARD\nToolReg=" + (data / "REG.DAT"));
  bool ok = false, raw = false;
  std::string message, kind;
  d->PrepareSend(true, false, ok, raw, message, kind, false, false, false);
  ASSERT_TRUE(ok) << message;
  EXPECT_EQ(SendAll(*d), "%\r\n(INGEN DATA)\n\r%");
}

TEST_F(TFileSend, OriginalToolDataGoesBackAsItCame) {
  auto d = Make("ToolProtokoll=ORIGINAL\nToolLagre=TOOLS\nToolReg=" + (data / "ORIG.TD"));
  Receive(*d, "(TOOLS)\r\nT1 L100\r\n");
  bool ok = false, raw = false;
  std::string message, kind;
  d->PrepareSend(true, false, ok, raw, message, kind, false, false, false);
  ASSERT_TRUE(ok) << message;
  EXPECT_EQ(SendAll(*d), "(TOOLS)\r\nT1 L100\r\n");
}

TEST_F(TFileSend, DirectoryListingOfTheMask) {
  auto d = Make("DirFilType=PARENTESER");
  WriteFile(M() + "A1.NC", "1");
  WriteFile(M() + "B2.NC", "22");
  WriteFile(M() + "C3.TXT", "333");
  model.SetCell(kColFilnavn, 1, "*.NC");
  bool ok = false, raw = false;
  std::string message, kind;
  d->PrepareSend(false, true, ok, raw, message, kind, false, false, false);
  ASSERT_TRUE(ok) << message;
  const std::string sent = SendAll(*d);
  EXPECT_EQ(sent, ReadFile(tmp / "Maskin1.DIR"));
  EXPECT_NE(sent.find("A1.NC"), std::string::npos) << sent;
  EXPECT_NE(sent.find("B2.NC"), std::string::npos);
  EXPECT_EQ(sent.find("C3"), std::string::npos);
  model.SetCell(kColFilnavn, 1, "NODIR\\*.NC");
  d->PrepareSend(false, true, ok, raw, message, kind, false, false, false);
  EXPECT_FALSE(ok);
  EXPECT_NE(message.find("Katalog eksisterer ikke: "), std::string::npos);
}

TEST_F(TFileSend, ParenthesesListingEndsWithTheMachinesStopCode) {
  struct Case {
    const char* keys;
    const char* end;
  } cases[] = {
      {"", "M30\r\n"},  // no stop code unless the machine has one
      {"SluttKode=%", "M30\r\n%\r\n"},
      {"SluttKode=%\nStoppKode=[EOT]", "M30\r\n\x04\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    auto d = Make(std::string("DirFilType=PARENTESER\n") + c.keys);
    WriteFile(M() + "A1.NC", "1");
    model.SetCell(kColFilnavn, 1, "*.NC");
    bool ok = false, raw = false;
    std::string message, kind;
    d->PrepareSend(false, true, ok, raw, message, kind, false, false, false);
    ASSERT_TRUE(ok) << message;
    const std::string sent = SendAll(*d);
    EXPECT_EQ(sent.rfind("%\r\n", 0), 0u) << "the start code leads: " << sent;
    ASSERT_GE(sent.size(), std::strlen(c.end));
    EXPECT_EQ(sent.substr(sent.size() - std::strlen(c.end)), c.end) << sent;
  }
}

TEST_F(TFileSend, CharacterRulesThroughTheFile) {
  struct Case {
    const char* keys;
    std::string file, sent;
  } cases[] = {
      {"",
       "A\x1A"
       "B",
       "A"},
      {"SubOK=True",
       "A\x1A"
       "B",
       "A\x1A"
       "B"},
      {"StoreBokstaver=True\nByttFra=xy\nByttTil=ab", "x1y2z", "A1B2Z"},
      {"ByttFra=ABC\nByttTil=XY", "ABC", "ABC"},
      {"FjernLinje=(", "(A)\r\nG1(B)\r\n(C)\nG2\r\n", "G1\r\nG2\r\n"},
      {"FjernTegn=#", "G1#X2\r\n", "G1X2\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    auto d = Make(c.keys);
    WriteFile(M() + "P.NC", c.file);
    bool raw = false;
    ASSERT_TRUE(Open(*d, "P", false, raw));
    EXPECT_EQ(SendAll(*d), c.sent);
    EXPECT_FALSE(d->MoreToSend());
  }
}

TEST_F(TFileSend, SubEndsTheFileForMoreToSend) {
  auto d = Make("");
  WriteFile(M() + "P.NC",
            "\x1A"
            "B");
  bool raw = false;
  ASSERT_TRUE(Open(*d, "P", false, raw));
  EXPECT_FALSE(d->MoreToSend());
  char ch = 0;
  bool ok = false;
  d->ReadFileChar(ch, ok);  // raw reads still see every byte
  EXPECT_TRUE(ok);
  EXPECT_EQ(ch, '\x1A');
}

TEST_F(TFileSend, BlocksLinesAndCounts) {
  auto d = Make("FjernSpace=True");
  std::string big(3000, 'x');
  WriteFile(M() + "B.NC", big);
  bool raw = false, ok = false;
  ASSERT_TRUE(Open(*d, "B", false, raw));
  EXPECT_EQ(d->BytesLeft(), 3001);
  char ch = 0;
  d->ReadFileChar(ch, ok);
  EXPECT_EQ(d->BytesLeft(), 3000);
  d->PushBackChar(ch);
  char block[TFile::kBlockSize];
  int count = 0, total = 0;
  for (d->ReadBlock(block, count, ok); ok; d->ReadBlock(block, count, ok)) total += count;
  EXPECT_EQ(total, 3000);
  EXPECT_EQ(d->BytesLeft(), 1);

  WriteFile(M() + "L.NC", "G1 X1 (A B)\r\n\r\nG2\rG3\n");
  ASSERT_TRUE(Open(*d, "L", false, raw));
  std::string line;
  std::vector<std::string> lines;
  for (d->ReadFileLine(line, ok); ok; d->ReadFileLine(line, ok)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"G1X1(A B)", "", "G2", "G3"}));
  ASSERT_TRUE(Open(*d, "L", false, raw));
  lines.clear();
  for (d->NextSendLine(line, ok); ok; d->NextSendLine(line, ok)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"G1X1(A B)", "G2", "G3"}));

  ASSERT_TRUE(Open(*d, "B", false, raw));
  EXPECT_FALSE(d->SkipSendChars(2999, ok));
  EXPECT_TRUE(d->SkipSendChars(5, ok));
  EXPECT_TRUE(ok);
}

TEST_F(TFileSend, StopMatcherFindsItsSequenceAfterAFalseStart) {
  auto d = Make("");
  d->ResetStopMatcher("AB");
  bool found = false;
  std::string seen;
  for (char c : std::string("XAAB")) {
    d->MatchStop(c, found);
    if (found) seen += c;
  }
  EXPECT_EQ(seen, "B");
  d->ResetStopMatcher("");
  d->MatchStop('A', found);
  EXPECT_FALSE(found);
}

TEST_F(TFileSend, EiaLineSendsLowerCaseAsFiller) {
  char ch = 'a';
  TFile::EncodeChar(TFile::CodeFromName("EIA"), ch);
  EXPECT_EQ(static_cast<uint8_t>(ch), 0x2A);
  ch = 'A';
  TFile::EncodeChar(kCodeEia, ch);
  TFile::DecodeChar(kCodeEia, ch);
  EXPECT_EQ(ch, 'A');
}

}  // namespace
}  // namespace zova
