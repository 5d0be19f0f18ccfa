#pragma once
// Hands a finished print job to the system: a matrix printer is a device or
// file written as it is; any other printer gets the job through the CUPS
// client (lp), in a fixed-pitch font at the configured size.

#include <string>
#include <vector>

#include "serial/print/print_layout.h"

namespace zova {

struct PrintJob {
  std::string text;  // Latin-1
  bool landscape = false;
  int fontSize = 12;
  std::string title;
  // Bytes for the printer itself (a control's own print data): no character
  // conversion and no layout by the print system.
  bool raw = false;
};

// True when the printer is a device or file written as it is (a matrix
// printer); otherwise jobs go through CUPS.
bool WritesDevice(const PrinterSettings& p);

// Error: what went wrong, for the Melding column.
bool SubmitPrintJob(const PrinterSettings& p, const PrintJob& job, std::string& error);

// The lp arguments of a job (pure; Printer empty: the default printer).
std::vector<std::string> LpArguments(const std::string& printer, const PrintJob& job);

// The printer a Skriver value names: a number N picks the N-th installed
// printer when there is more than one; "PRN" and anything unusable pick the
// default (empty); another value is taken as a queue name.
std::string PrinterForSkriver(const std::string& skriver, const std::vector<std::string>& queues);

}  // namespace zova
