// Every conversion on small programs, compared byte for byte. Each case runs
// with the whole input in one read and again one byte per read, so a line
// end split over two reads is covered everywhere.
#include <gtest/gtest.h>

#include <string>

#include "files/convert/conversions.h"
#include "files/convert/file_format.h"

namespace zova {
namespace {

using namespace std::string_literals;

std::string Nuls(size_t n) {
  return std::string(n, '\0');
}

struct Case {
  const char* name;
  int format;
  std::string input;
  std::string expected;
  ConvertOptions options = {};
  ConvertResult result = ConvertResult::Converted;
};

ConvertOptions Cr() {
  ConvertOptions o;
  o.crLineEnds = true;
  return o;
}
ConvertOptions Named(const std::string& file, const std::string& dir = "",
                     const std::string& ext = "") {
  ConvertOptions o;
  o.fileName = file;
  o.programDir = dir;
  o.programExt = ext;
  return o;
}
ConvertOptions Start(const std::string& code) {
  ConvertOptions o;
  o.startCode = code;
  return o;
}

const std::string kProgram = "%\r\nO1\r\nN10G0\r\nN20M30\r\n%\r\n";
const std::string kHeader = Nuls(19) + "\n%\n";
const ConvertOptions kTagged = Named("D:\\CNC\\PARTS\\O1234.NC", "D:\\CNC\\", ".NC");

const Case kCases[] = {
    // NJ and NJBTR
    {"NjDropsStoredPercentLines", kFormatNJ, kProgram, "\r%\r\nO1\r\nN10G0\r\nN20M30\r\n%\r\n"},
    {"NjBtrSendsBodyOnly", kFormatNJBTR, kProgram, "O1\r\nN10G0\r\nN20M30\r\n"},
    {"NjSendsFinalNBlock", kFormatNJ, "%\r\nO1\r\nN30M30", "\r%\r\nO1\r\nN30M30\r\n%\r\n"},
    {"NjSkipsHashAndStopsAtHashC", kFormatNJ, "%\r\nN1\r\n(#X)\r\nN2\r\n#C#\r\nN3\r\n%\r\n",
     "\r%\r\nN1\r\nN2\r\n%\r\n"},
    {"NjStartsAtFirstNBlock", kFormatNJ, "(HEAD)\nN1\nN2\n", "\r%\r\nN1\r\nN2\r\n%\r\n"},
    {"NjDropsTrailingControlChar", kFormatNJ, "%\r\nN1\r\n\x1A", "\r%\r\nN1\r\n%\r\n"},
    {"NjEmptyFile", kFormatNJ, "", "\r%\r\n%\r\n"},
    {"NjBtrStopsAtInnerPercent", kFormatNJBTR, "N1\r\n%\r\nN2\r\n", "N1\r\n"},
    // NJNC
    {"NjncSection", kFormatNJNC, "%\nN10G0\nN20M30\n%\n", kHeader + "N10G0\n\nN20M30\n%" + Nuls(2)},
    {"NjncCrLineEnds", kFormatNJNC, "%\nN10G0\nN20M30\n%\n",
     Nuls(19) + "\r%\rN10G0\r\rN20M30\r%" + Nuls(2), Cr()},
    {"NjncHashCStartsNextSection", kFormatNJNC, "N1\r\n#C#\r\nX\r\nN2\r\nN3\r\n",
     kHeader + "N1\n\n%" + Nuls(2) + kHeader + "N2\n\n%" + Nuls(2)},
    {"NjncTolerantReading", kFormatNJNC, "\r\n\r\nN1\x01\r\n\r\n\n\rN2\r\nN3",
     kHeader + "N1\n\nN2\n%" + Nuls(2)},
    {"NjncNoBlockLines", kFormatNJNC, "%\nO1\n%\n", ""},
    // EMCO
    {"EmcoNumberedHeader", kFormatEMCO, " (HEAD)\r\nN10 G01 X5 (cut)\r\nN20G0%\r\nM30\r\nN30\r\n",
     "%1234 \r\nN10  G01 X5\r\nN20  G0\r\n", Named("\\NC\\O1234.NC")},
    {"EmcoPercentHeader", kFormatEMCO, "%\r\nN1G0(unclosed\r\n", "% \r\nN1  G0\r\n",
     Named("PART.NC")},
    {"EmcoNoDigitsInName", kFormatEMCO, "N1G0\r\n", "%0005 \r\nN1  G0\r\n", Named("PART.NC")},
    {"EmcoLastFourDigits", kFormatEMCO, "\0N1G0\r\n"s, "%5678 \r\nN1  G0\r\n",
     Named("/nc/O12345678.NC")},
    // NJCINCI
    {"NjcinciBody", kFormatNJCinci, kProgram, "\0N10G0\r\n\r\nN20M30\r\n"s + Nuls(10)},
    {"NjcinciCr", kFormatNJCinci, kProgram, "\0N10G0\r\rN20M30\r"s + Nuls(10), Cr()},
    {"NjcinciStopsAtHashC", kFormatNJCinci, "N1\r\n#C#\r\nN2\r\n", "\0N1\r\n\r\n"s + Nuls(10)},
    // PROSENT, HAKMO
    {"ProsentFromPercent", kFormatProsent, "X\r\n%\r\nN1\r\n(#)\r\nN2", "%\r\nN1\r\nN2\r\n"},
    {"HakmoDropsPlusCommentsInHead", kFormatHakmo, "(+A\r\nN1\r\n(+B\r\n(+C\r\n(+D\n",
     "N1\r\n(+D\r\n"},
    // OKUMA3000
    {"Okuma3000", kFormatOkuma3000, "\x15X\r\nN1\r\n*C\r\n\xA7Y\r\nN2\n",
     Nuls(3) + "%" + "N1\r\nN2\r\n" + Nuls(1), Start("%")},
    // KBGCNC200
    {"KbgFromFirstNBlock", kFormatKbgCnc200, "O1\r\nN1\r\n%\r\nN2\r\n",
     Nuls(3) + "\n%\n\rN1\r\nN2\r\n%\n"},
    {"KbgAfterPercentLine", kFormatKbgCnc200, "%\r\nO1\r\nN1\r\n",
     Nuls(3) + "\n%\n\rO1\r\nN1\r\n%\n"},
    // KOMMENTARER
    {"KommentarerTagsFirstLine", kFormatKommentarer, "O1234\r\nN10G0\r\nN20(#)\r\nN30\r\n",
     "O1234(PARTS/O1234)\r\nN10G0\r\nN30\r\n", kTagged},
    {"KommentarerBeforeComment", kFormatKommentarer, "O1234(OLD)\r\nN1\r\n",
     "O1234(PARTS/O1234)\r\n(OLD)\r\nN1\r\n", kTagged},
    {"KommentarerAlreadyTagged", kFormatKommentarer, "O1234(PARTS/O1234)\r\nN1\r\n",
     "O1234(PARTS/O1234)\r\nN1\r\n", kTagged},
    {"KommentarerShortFirstLine", kFormatKommentarer, "%\r\nO1234\r\nN1\r\n",
     "%\r\nO1234(PARTS/O1234)\r\nN1\r\n", kTagged},
    {"KommentarerSiemensTagOwnLine", kFormatKommentarer, "MPF12\r\nN1\r\n",
     "%MPF12\r\n(PARTS/O1234)\r\nN1\r\n", kTagged},
    {"KommentarerNextLineIsTag", kFormatKommentarer, "O1234\r\n(PARTS/O1234)\r\nN1\r\n",
     "O1234(PARTS/O1234)\r\nN1\r\n", kTagged},
    {"KommentarerOneLineFile", kFormatKommentarer, "O1234", "O1234(PARTS/O1234)\r\n", kTagged},
    {"KommentarerOutsideProgramDir", kFormatKommentarer, "O1\r\n", "O1(/tmp/A)\r\n",
     Named("/tmp/A.NC", "/nc/", ".NC")},
    // SIEMENSCLEAR
    {"SiemensClear", kFormatSiemensClear, "%MPF12\r\nL12300\r\n%SP\r\n%123\r\nL 4 5\r\nN1\n",
     "%CL\r\nL123\r\n%123\r\nL45\r\nM30\r\n\r\n%MPF12\r\nL12300\r\n%SP\r\n%123\r\nL 4 5\r\nN1\n"},
    // KOPI, SMT
    {"KopiIsByteForByte", kFormatKopi, "a\rb\0\nc\xff"s, "a\rb\0\nc\xff"s},
    {"SmtOnlyNBlocks", kFormatSMT, "N1\r\nXN2\r\nX\r\nAB\r\nN\r\n",
     Nuls(4) + "N1\nN2\n\n" + Nuls(2)},
    // OKUMA5000
    {"Okuma5000BetweenPercents", kFormatOkuma5000, "O1\r\n%\r\nN1\r\nN2\r\n%\r\nN3\r\n",
     "N1\r\nN2\r\n"},
    {"Okuma5000PercentOnThirdLine", kFormatOkuma5000, "A\r\nB\r\n%\r\nN1\r\n", "N1\r\n"},
    {"Okuma5000NoPercentSendsStored",
     kFormatOkuma5000,
     "A\r\nB\r\nC\r\n%\r\nN1\r\n",
     "",
     {},
     ConvertResult::Unchanged},
    // FANUC
    {"FanucProgramNumber", kFormatFanuc, "O1234\r\n(O1234)\r\nN1\n", ":1234\r\n(O1234)\r\nN1\r\n"},
    {"StandardIsUnchanged", kFormatStandard, "N1\r\n", "", {}, ConvertResult::Unchanged},
};

class ConversionTest : public testing::TestWithParam<Case> {};

TEST_P(ConversionTest, ByteForByte) {
  const Case& c = GetParam();
  for (size_t chunk : {size_t{0}, size_t{1}}) {
    StringSource source(c.input, chunk);
    StringSink sink;
    EXPECT_EQ(ConvertStream(c.format, c.options, source, sink), c.result) << "chunk " << chunk;
    EXPECT_EQ(sink.text, c.expected) << "chunk " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(All, ConversionTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConversionPieces, SpaceBlock) {
  EXPECT_EQ(SpaceBlock("N10G01X5"), "N10  G01 X5");
  EXPECT_EQ(SpaceBlock("N10"), "N10");
  EXPECT_EQ(SpaceBlock("NG"), "N  G");
  EXPECT_EQ(SpaceBlock(""), "");
}

TEST(ConversionPieces, SiemensClearEntry) {
  EXPECT_EQ(SiemensClearEntry("L12300"), "L123");
  EXPECT_EQ(SiemensClearEntry("%MPF12"), "%");
  EXPECT_EQ(SiemensClearEntry("L00"), "L");
  EXPECT_EQ(SiemensClearEntry("%1200"), "%1200");
  EXPECT_EQ(SiemensClearEntry("L 1 00 X"), "L1");
}

TEST(ConversionPieces, BlockLine) {
  EXPECT_TRUE(IsBlockLine("N1"));
  EXPECT_TRUE(IsBlockLine("T2X"));
  EXPECT_TRUE(IsBlockLine("H3"));
  EXPECT_TRUE(IsBlockLine("&4"));
  EXPECT_FALSE(IsBlockLine("N"));
  EXPECT_FALSE(IsBlockLine("NX1"));
  EXPECT_FALSE(IsBlockLine("O1"));
}

TEST(ConversionPieces, CommentTagDropsDrive) {
  EXPECT_EQ(CommentTag("E:\\OTHER\\P1.NC", "D:\\CNC\\", ".NC"), "(/OTHER/P1)");
  EXPECT_EQ(CommentTag("d:\\cnc\\p1.nc", "D:\\CNC\\", ".NC"), "(p1)");
}

TEST(ConversionPieces, UnknownFormatFails) {
  StringSource source("N1\r\n");
  StringSink sink;
  EXPECT_EQ(ConvertStream(99, {}, source, sink), ConvertResult::Failed);
}

class FailingSink : public ByteSink {
 public:
  bool Write(std::string_view) override { return false; }
};

TEST(ConversionPieces, WriteFailureIsReported) {
  for (int format = 1; format < kFormatCount; ++format) {
    if (format == kFormatOkuma5000) continue;
    StringSource source("%\r\nN1\r\n%\r\n");
    FailingSink sink;
    EXPECT_EQ(ConvertStream(format, {}, source, sink), ConvertResult::Failed) << format;
  }
}

}  // namespace
}  // namespace zova

namespace zova {
namespace {

TEST(ConversionPieces, HugeLinesAndBinaryBytesConvert) {
  std::string line(1 << 20, 'A');
  for (size_t i = 0; i < line.size(); i += 997) line[i] = static_cast<char>(i % 256);
  const std::string noLineEnds(5 << 20, 'N');
  for (const std::string* input : {static_cast<const std::string*>(&line), &noLineEnds}) {
    for (int format = 1; format < kFormatCount; ++format) {
      StringSource source(*input);
      StringSink sink;
      EXPECT_NE(ConvertStream(format, {}, source, sink), ConvertResult::Failed) << format;
      EXPECT_LE(sink.text.size(), 2 * input->size() + 4096) << format;
    }
  }
  StringSource source(noLineEnds);
  StringSink sink;
  ASSERT_EQ(ConvertStream(kFormatFanuc, {}, source, sink), ConvertResult::Converted);
  EXPECT_EQ(sink.text.size(), noLineEnds.size() + 3 * 2);  // three pieces, each with CR LF
}

}  // namespace
}  // namespace zova
