#pragma once
// A conversational programming system on a serial line: it sends its data
// as SOH and blocks of 63 bytes (the last padded with NULs), STX between
// blocks and BS after the last, with the program's name in the data after a
// marker; and it takes data from the station in the same form, which the
// station opens with DC2 and closes with a block of NULs after the BS. It
// keeps the standard control's commands.

#include <string>

#include "controls/standard_control.h"

namespace zova::sim {

class FaptControl : public StandardControl {
 public:
  FaptControl(SimLine& line, const SimOptions& options);

 private:
  // fapt-send FILE [--name NAME] [--marker CODES] [--corrupt N] [--lead CODES]:
  // sends Lead, SOH and FILE in blocks; with Name the data begin with the
  // marker ("MLL>MLL="), the name and CR LF. With Corrupt the separator
  // after block N (from 1) is "?" and the rest follows as if it were not.
  bool Send(const SimCommand& cmd, std::string& error);
  // fapt-receive FILE [--first MS] [--quiet MS]: takes DC2, SOH, blocks and
  // the trailing NUL block, failing at the first byte out of place, and
  // writes the data without the padding of the last block to FILE. The
  // first byte is awaited for First (10000) ms, every other for Quiet
  // (2000).
  bool Receive(const SimCommand& cmd, std::string& error);
};

}  // namespace zova::sim
