#pragma once
// A NUM control whose operator works the station from the control's own
// terminal. Every line ends with CR. The operator wakes the station with NUL
// CR (the station echoes the NUL), reads the menu it writes and types a
// choice, which the station echoes. Programs then move in blocks, STX, the
// content (lines joined by GS), two check characters (255 less the sum of
// the content's bytes modulo 256, in hex) and ETX, each acknowledged with
// ACK and a digit that alternates; the end is STX ".D1" ETX. A transfer
// starts with STX alone; SYN alone starts it over. It keeps the standard
// control's commands.

#include "controls/standard_control.h"

namespace zova::sim {

class NumControl : public StandardControl {
 public:
  NumControl(SimLine& line, const SimOptions& options);

  static std::string Check(const std::string& content);

 private:
  // num-wake [--timeout MS]: NUL CR, wanting the NUL back.
  bool Wake(const SimCommand& cmd, std::string& error);
  // num-menu [--title TEXT] [--timeout MS]: reads the screen up to the
  // prompt "Fortell (dvs. 1:0030)-->" (eleven empty lines, then the menu
  // lines after "DNC>"); with --title the first menu line must be TEXT.
  bool Menu(const SimCommand& cmd, std::string& error);
  // num-type TEXT [--timeout MS]: the operator's keys (bracket notation for
  // BS and CR); "0" to ":", BS and CR must come back, nothing else may.
  bool Type(const SimCommand& cmd, std::string& error);
  // num-expect TEXT [--timeout MS]: reads lines until one is TEXT.
  bool ExpectLine(const SimCommand& cmd, std::string& error);
  // num-download FILE [--nak-block N] [--refuse-block N] [--syn-after N]
  // [--syn-at-end] [--timeout MS]: starts with STX, takes the blocks, checks
  // each and writes the program (GS as CR LF, CR LF after each block) to
  // FILE. Block N is answered NAK once (or always: it must come ten times
  // and no more); after N blocks (or at the end block) SYN starts the
  // transfer over once.
  bool Download(const SimCommand& cmd, std::string& error);
  // num-punch FILE [--bad-check N] [--always-bad N] [--syn-after N]
  // [--enq-after N] [--no-eot] [--timeout MS]: starts with STX, sends FILE
  // in blocks below 126 characters and the end block, each until
  // acknowledged, and EOT. Block N goes with a wrong check once (or every
  // time: the station gives up after ten); after N blocks SYN starts over
  // once; after N blocks ENQ asks for the acknowledgement again.
  bool Punch(const SimCommand& cmd, std::string& error);

  bool SendLine(const std::string& text);
  bool ReadLine(std::string& line, int timeoutMs, std::string& error);
  // The acknowledgement of a punched block; Nak set for NAK.
  bool ReadAck(std::string& line, int timeoutMs, std::string& error);
};

}  // namespace zova::sim
