#pragma once
// The one place where an errno value becomes the text the operator sees.
// What the text looks like depends on the operation that failed: a line's
// faults are named in Norwegian, copies and print jobs give the system's own
// text, and the station's stores give the IOResult code that operators and
// support have always looked up.

#include <string>

namespace zova {

enum class ErrorContext {
  Device,    // opening, setting or using a line: the named fault, else "Systemfeil N: ..."
  FileCopy,  // the network drivers' copies, moves and deletes: the system's text
  Printing,  // a print job's pipe, spawn or device: the system's text
  Storage,   // storing or copying a program: "IOResult=N"
  TextFile,  // opening a text file (shown in debug mode): "IOResult = N"
};

// Latin-1. Err 0 is "" for a device; the other contexts format it like any code.
std::string ErrorText(int err, ErrorContext context);

}  // namespace zova
