// Page layout of printed programs and the printer a job goes to.

#include "serial/print/print_layout.h"

#include <gtest/gtest.h>

#include "serial/print/printer_output.h"
#include "support/test_support.h"

namespace zova {
namespace {

PrinterSettings Narrow(int width, int page) {
  PrinterSettings p;
  p.lineWidth = width;
  p.pageLength = page;
  return p;
}

const PageFooter kFooter{"09.12.2026", "07:05"};

TEST(PrintLayout, OneColumnPagesWithHeadingAndFooter) {
  std::string out =
      LayoutPages({"G0 X1", "THIS LINE IS MUCH TOO LONG", "M30"}, "O1", Narrow(20, 2), 1, kFooter);
  EXPECT_EQ(out,
            "     O1*************\r\n"
            "     G0 X1\r\n"
            "     THIS LINE IS MU\r\n"
            "********************\r\n"
            "     Dato: 09.12.2026 07:05 Side: 1\r\n"
            "\f     O1*************\r\n"
            "     M30\r\n"
            "********************\r\n"
            "     Dato: 09.12.2026 07:05 Side: 2\r\n");
}

TEST(PrintLayout, LongPagesHaveNoFooter) {
  std::string out = LayoutPages({"A", "B"}, "T", Narrow(10, 200), 1, kFooter);
  EXPECT_EQ(out, "     T****\r\n     A\r\n     B\r\n");
}

TEST(PrintLayout, ColumnsSideBySideWrappedAtBlanks) {
  // Width 40 in two columns: 15 characters a column.
  std::string out = LayoutPages({"G1 X10 Y20 Z30 F100", "M30"}, "P", Narrow(40, 200), 2, kFooter);
  EXPECT_EQ(out,
            "     P**********************************\r\n"
            "     G1 X10 Y20 Z30      M30\r\n"
            "     F100\r\n");
}

TEST(PrintLayout, SplitAndWrap) {
  EXPECT_EQ(SplitPrintLines("A\r\nB\nC\rD"), (std::vector<std::string>{"A", "B", "C", "D"}));
  EXPECT_EQ(SplitPrintLines("A\r\n\r\nB\r\n"), (std::vector<std::string>{"A", "", "B"}));
  EXPECT_EQ(WrapLines({"ABCDEFGHIJ"}, 4), (std::vector<std::string>{"ABCD", "EFGH", "IJ"}))
      << "a word longer than the column is cut";
  EXPECT_EQ(WrapLines({""}, 4), (std::vector<std::string>{""}));
}

TEST(PrintLayout, SettingsFromTheConfiguration) {
  {
    test::ScopedIni ini("[Program]\nFontSizePrn=10\nKolonner=2\n[Maskin3]\nKolonner=7\n");
    PrinterSettings p = ReadPrinterSettings();
    EXPECT_EQ(p.lineWidth, 90);
    EXPECT_EQ(p.pageLength, 60);
    EXPECT_EQ(PrintColumns(1, p), 2);
    EXPECT_EQ(PrintColumns(3, p), 1) << "outside 1..3 is one column";
  }
  {
    test::ScopedIni ini("[Program]\nSkriver=/dev/usb/lp0\nMatrise=True\nSideLengde=66\n");
    PrinterSettings p = ReadPrinterSettings();
    EXPECT_TRUE(p.matrise);
    EXPECT_EQ(p.lineWidth, 75);
    EXPECT_EQ(p.pageLength, 66);
  }
  {
    test::ScopedIni ini("[Program]\nSkriver=LP\nMatrise=True\n");
    EXPECT_FALSE(ReadPrinterSettings().matrise) << "too short a name for a device";
  }
}

TEST(PrinterOutput, WhichPrinterAndHow) {
  const std::vector<std::string> two{"kontor", "verksted"};
  EXPECT_EQ(PrinterForSkriver("PRN", two), "");
  EXPECT_EQ(PrinterForSkriver("2", two), "verksted");
  EXPECT_EQ(PrinterForSkriver("3", two), "") << "no such printer: the default";
  EXPECT_EQ(PrinterForSkriver("1", {"eneste"}), "") << "one printer is the default anyway";
  EXPECT_EQ(PrinterForSkriver("kontor", two), "kontor");

  PrintJob job;
  job.title = "O1";
  job.fontSize = 12;
  job.landscape = true;
  EXPECT_EQ(
      LpArguments("verksted", job),
      (std::vector<std::string>{"lp", "-s", "-d", "verksted", "-t", "O1", "-o", "cpi=10", "-o",
                                "lpi=6", "-o", "document-format=text/plain", "-o", "landscape"}));
}

TEST(PrinterOutput, MatrixPrinterGetsTheRawJob) {
  test::TempDir dir;
  PrinterSettings p;
  p.skriver = dir / "lp0";
  p.matrise = true;
  p.initPrn = "\x1B@";
  p.exitPrn = "\f";
  PrintJob job;
  job.text = "G0 X1\r\n";
  std::string error;
  ASSERT_TRUE(SubmitPrintJob(p, job, error)) << error;
  EXPECT_EQ(test::ReadFile(dir / "lp0"), "\x1B@G0 X1\r\n\f");
  p.skriver = dir / "missing/lp0";
  EXPECT_FALSE(SubmitPrintJob(p, job, error));
  EXPECT_NE(error.find("lp0"), std::string::npos);
}

}  // namespace
}  // namespace zova
