#pragma once
// A control's own print data passed on to the station's printer as it
// arrives: a matrix printer (a device or file) is written as the data come;
// a CUPS printer gets them as one raw job once the print has ended. Either
// way the job is framed by the printer's InitPrn and ExitPrn and, for a
// printer that speaks PJL, switched to the matrix printers' language.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "serial/print/print_layout.h"

namespace zova {

// The control's last character of a print: it ejects the page.
inline constexpr char kPrintEnd = 12;

// How much of a run read from the line belongs to the print: all of it, or
// up to and with its form feed (Ended), after which the line is the
// control's again.
struct PrintRun {
  size_t used = 0;
  bool ended = false;
};
PrintRun TakePrintData(std::string_view run);

// What goes to the printer before and after the control's data. A PJL job
// must begin with the language switch, so the printer's own codes go inside
// it.
std::string PrintStreamHead(const PrinterSettings& p);
std::string PrintStreamTail(const PrinterSettings& p);

enum class PrintFault {
  None,
  Refused,  // the printer took nothing (it could not be opened, or CUPS refused the job)
  Lost,     // the printer stopped taking data part way
};

class PrintStream {
 public:
  // Title: the CUPS job's name.
  PrintStream(const PrinterSettings& p, std::string title) : p_(p), title_(std::move(title)) {}
  ~PrintStream();
  PrintStream(const PrintStream&) = delete;
  PrintStream& operator=(const PrintStream&) = delete;

  // Opens a matrix printer and writes the head. False (Error set): it takes
  // no data; Write then drops them and Close reports Refused.
  bool Open(std::string& error);
  // Data of the print. After a failed write the rest is dropped.
  void Write(std::string_view data);
  // Writes the tail and closes; a CUPS job is submitted here. Error says
  // what went wrong, for the log.
  PrintFault Close(std::string& error);

 private:
  bool Flush();

  PrinterSettings p_;
  std::string title_;
  int fd_ = -1;
  bool opened_ = false, lost_ = false;
  std::string error_;
  std::string pending_;  // not yet written to the device, or the whole CUPS job
};

}  // namespace zova
