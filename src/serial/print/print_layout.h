#pragma once
// The printer settings of the station and the page layout of a printed
// program: heading, indented lines cut to the width, a footer with date and
// page number, and one to three columns side by side.

#include <string>
#include <string_view>
#include <vector>

namespace zova {

struct PrinterSettings {
  std::string skriver = "PRN";
  bool matrise = false;
  std::string initPrn, exitPrn;
  bool pjl = false;
  int fontSizePrn = 12, fontSizeLabel = 12;
  int lineWidth = 75, pageLength = 50;
  int kolonner = 1;
};

// From [Program] of the active Zova.ini.
PrinterSettings ReadPrinterSettings();
// Read once for the active configuration file.
PrinterSettings StationPrinter();
// The machine's Kolonner, else the station's; anything outside 1..3 is 1.
int PrintColumns(int machine, const PrinterSettings& p);

struct PageFooter {
  std::string date, time;  // "dd.mm.yyyy", "hh:nn"
};

// The text split at CR LF, LF or CR.
std::vector<std::string> SplitPrintLines(std::string_view text);
// Lines broken at blanks into pieces of at most Width characters.
std::vector<std::string> WrapLines(const std::vector<std::string>& lines, int width);
// The whole print job: pages separated by form feeds, lines ended by CR LF.
std::string LayoutPages(const std::vector<std::string>& lines, std::string_view title,
                        const PrinterSettings& p, int columns, const PageFooter& footer);

}  // namespace zova
