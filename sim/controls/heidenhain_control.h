#pragma once
// A Heidenhain control that keeps its programs on the station, as on an
// external storage unit: it announces a program by a header block (SOH,
// type letter, name, "A") and outputs it in data blocks (STX, line, ETB,
// block check), each of which it repeats until the station answers ACK; it
// reads a program by a header with "E", answering each block with ACK (or
// NAK), and ends with EOT after the station's ETX. It gives file commands
// (ESC, letter, blank, ..., CR LF) and asks for listings (ESC "O D" CR LF).
// The block check is the exclusive OR from the first byte to ETB; where it
// would be a control character the block's trailing blank is removed, or a
// blank added, and a received block loses one trailing blank. It keeps the
// standard control's commands, so it can also punch plain text.

#include <string>
#include <vector>

#include "controls/standard_control.h"

namespace zova::sim {

class HeidenhainControl : public StandardControl {
 public:
  HeidenhainControl(SimLine& line, const SimOptions& options);

 private:
  // hh-save FILE --name NAME [--type T] [--bad-check N] [--bad-times K]
  //   [--cut N] [--no-end] [--melding] [--answer-melding BYTES] [--timeout MS]
  bool Save(const SimCommand& cmd, std::string& error);
  // hh-load FILE --name NAME [--type T] [--nak N] [--hold-after N --hold MS]
  //   [--missing] [--timeout MS]
  bool Load(const SimCommand& cmd, std::string& error);
  // hh-load-all DIR [--type T] [--first-blocks N] [--timeout MS]
  bool LoadAll(const SimCommand& cmd, std::string& error);
  // hh-command TEXT [--timeout MS]: ESC, TEXT, CR LF, and the station's ETX.
  bool Command(const SimCommand& cmd, std::string& error);
  // hh-list FILE [--zero] [--quiet MS] [--timeout MS]
  bool List(const SimCommand& cmd, std::string& error);
  // hh-header TEXT [--timeout MS]: a header block of any text, and its ACK.
  bool RawHeader(const SimCommand& cmd, std::string& error);

  // Sends Block until the station answers ACK (Tries times at most).
  bool SendBlock(const std::string& block, int timeoutMs, int tries, std::string& error);
  bool AwaitAck(int timeoutMs, std::string& error);
  // The next block from the station. End: its ETX came instead.
  bool ReadBlock(std::string& line, bool& end, bool& checkOk, int timeoutMs, std::string& error);
  // Lines of a program the station sends, until its ETX.
  bool ReceiveProgram(std::vector<std::string>& lines, long nakAt, long holdAfter, int holdMs,
                      long takeBlocks, int timeoutMs, std::string& error);
};

}  // namespace zova::sim
