#pragma once
// A Mazak control speaking Mazatrol. Every telegram ends with EOT (two of
// them unless --one-eot). It offers a program a line at a time, "p1" STX
// text ETX and two check digits (the sum of the text's codes less 48 each,
// modulo 256, in hex), and wants "p0A" for each line ("p00" for a tape mark
// "p2"), ending with "pA"; it asks for a program with "p4" and takes the
// station's "p00" STX text ETX check lines, one per "p4"; it asks status
// questions ("q...", answered "q08"), and it sends its screen's graphics
// starting with ESC or CAN. It keeps the standard control's commands.

#include "controls/standard_control.h"

namespace zova::sim {

class MazatrolControl : public StandardControl {
 public:
  MazatrolControl(SimLine& line, const SimOptions& options);

  // The two check digits of a program line's Text.
  static std::string Check(const std::string& text);

 private:
  // maz-offer FILE [--one-eot] [--bad-check N] [--bad-length N] [--no-etx N]
  // [--stall-after N] [--expect-silence] [--timeout MS] [--answer-timeout
  // MS]: offers FILE's
  // lines (a line "p2" as a tape mark), the check digits added, and ends
  // with "pA". Line N may go with wrong check digits, a character short or
  // without ETX; with --stall-after the control falls silent after N lines.
  // --expect-silence: the station answering nothing at some line (within
  // --answer-timeout, default --timeout) is what the script expects (a
  // refused program).
  bool Offer(const SimCommand& cmd, std::string& error);
  // maz-fetch FILE [--one-eot] [--lines N] [--quiet MS] [--junk-after N]
  // [--section-end-after N] [--timeout MS]: asks with "p4" and writes the
  // lines it gets (check digits kept, CR LF after each; a tape mark as
  // "p2") to FILE. It ends with "pA" after N lines, or when the station
  // sends nothing for Quiet ms (1000). After line N it may first answer
  // "pX" or "pD" (wanting "p00" back).
  bool Fetch(const SimCommand& cmd, std::string& error);
  // maz-status [--text TEXT] [--timeout MS]: asks TEXT ("q1"), wants "q08",
  // then ends with "pA".
  bool Status(const SimCommand& cmd, std::string& error);
  // maz-graphics FILE: sends FILE's bytes (they start with ESC or CAN) as
  // they are, then falls silent.
  bool Graphics(const SimCommand& cmd, std::string& error);

  bool SendTelegram(const std::string& text);
  // The station's next telegram, without its EOT.
  bool ReadTelegram(std::string& text, int timeoutMs, std::string& error);
  bool ExpectTelegram(const std::string& want, int timeoutMs, std::string& error);

  bool oneEot_ = false;
};

}  // namespace zova::sim
