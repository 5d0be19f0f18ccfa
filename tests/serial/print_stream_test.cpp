// A control's own print data on the way to the station's printer: where the
// print ends in what the line brings, that a matrix printer gets every byte,
// and what the operator is told when the printer does not take it.

#include "serial/print/print_stream.h"

#include <gtest/gtest.h>

#include "core/visual.h"
#include "serial/print/printer_output.h"
#include "support/test_support.h"

namespace zova {
namespace {

TEST(PrintStream, PrintEndsWithItsFormFeed) {
  const struct {
    std::string run;
    size_t used;
    bool ended;
  } cases[] = {
      {"\x1B@G0 X1\r\n", 9, false},
      {"LINE\r\n\fO1000", 7, true},  // the next program is the control's again
      {"\f", 1, true},
      {"\f\f", 1, true},
      {std::string("A\0B", 3), 3, false},
  };
  for (const auto& c : cases) {
    const PrintRun r = TakePrintData(c.run);
    EXPECT_EQ(r.used, c.used) << StrToVisual(c.run);
    EXPECT_EQ(r.ended, c.ended) << StrToVisual(c.run);
  }
}

TEST(PrintStream, MatrixPrinterGetsEveryByteFramedAndAppended) {
  test::TempDir dir;
  PrinterSettings p;
  p.skriver = dir / "lp0";
  p.matrise = true;
  p.initPrn = "<";
  p.exitPrn = ">";
  test::WriteFile(p.skriver, "before");
  std::string data;
  for (int i = 0; i < 1500; ++i) data += static_cast<char>(i % 256);
  PrintStream printer(p, "M1");
  std::string error;
  ASSERT_TRUE(printer.Open(error)) << error;
  for (size_t at = 0; at < data.size(); at += 100)
    printer.Write(std::string_view(data).substr(at, 100));
  EXPECT_EQ(printer.Close(error), PrintFault::None) << error;
  EXPECT_EQ(test::ReadFile(p.skriver), "before<" + data + ">");
}

TEST(PrintStream, PrinterThatRefusesOrFailsIsReported) {
  test::TempDir dir;
  PrinterSettings p;
  p.matrise = true;
  p.skriver = dir / "missing/lp0";
  std::string error;
  {
    PrintStream printer(p, "M1");
    EXPECT_FALSE(printer.Open(error));
    EXPECT_NE(error.find("lp0"), std::string::npos) << error;
    printer.Write("dropped");
    error.clear();
    EXPECT_EQ(printer.Close(error), PrintFault::Refused);
    EXPECT_NE(error.find("lp0"), std::string::npos) << "the log still says why";
  }
  // A device that takes nothing once opened: the print was lost part way.
  p.skriver = "/dev/full";
  PrintStream printer(p, "M1");
  ASSERT_TRUE(printer.Open(error)) << error;
  printer.Write(std::string(2000, 'x'));
  EXPECT_EQ(printer.Close(error), PrintFault::Lost);
  EXPECT_NE(error.find("/dev/full"), std::string::npos) << error;
}

TEST(PrintStream, CupsGetsTheBytesRawAsOneJob) {
  PrintJob job;
  job.title = "Maskin1";
  job.raw = true;
  EXPECT_EQ(LpArguments("", job),
            (std::vector<std::string>{"lp", "-s", "-t", "Maskin1", "-o", "raw"}));
  PrinterSettings p;
  p.matrise = true;
  EXPECT_FALSE(WritesDevice(p)) << "PRN is the default queue, matrix or not";
  p.skriver = "/dev/lp0";
  EXPECT_TRUE(WritesDevice(p));
  p.matrise = false;
  EXPECT_FALSE(WritesDevice(p));
}

}  // namespace
}  // namespace zova
