// Printing a received program or a label for the operator.

#include <fstream>
#include <iterator>

#include "core/clock.h"
#include "core/logging/log_format.h"
#include "core/paths.h"
#include "serial/line/tcom.h"
#include "serial/print/print_layout.h"
#include "serial/print/printer_output.h"

namespace zova {

namespace {

PageFooter FooterNow() {
  WallTime now = TheClock().Now();
  return {ShortDate(now), LongTime(now).substr(0, 5)};
}

}  // namespace

void TCom::PrintText(int machine, const std::string& text, const std::string& title, bool& ok) {
  const PrinterSettings p = StationPrinter();
  PrintJob job;
  job.text = LayoutPages(SplitPrintLines(text), title, p, PrintColumns(machine, p), FooterNow());
  job.fontSize = p.fontSizePrn;
  job.title = title;
  std::string error;
  ok = SubmitPrintJob(p, job, error);
  if (!ok) LogMarker(true, "Utskrift: " + error);
}

void TCom::PrintFile(int machine, const std::string& fileName, const std::string& title, bool& ok) {
  std::ifstream in(FsPath(fileName), std::ios::binary);
  ok = static_cast<bool>(in);
  if (!ok) return;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  PrintText(machine, text, title, ok);
}

void TCom::PrintLabel(const std::string& text, bool& ok) {
  const PrinterSettings p = StationPrinter();
  size_t b = text.find_first_not_of("\r\n");
  size_t e = text.find_last_not_of("\r\n");
  PrintJob job;
  job.text = b == std::string::npos ? std::string() : text.substr(b, e - b + 1);
  job.landscape = true;
  job.fontSize = p.fontSizeLabel;
  std::string error;
  ok = SubmitPrintJob(p, job, error);
  if (!ok) LogMarker(true, "Utskrift: " + error);
}

}  // namespace zova
