#pragma once
// A Hybrid control's terminal menu: the operator at the control presses "!"
// and a letter (R upload, S download, T name entry), the station answers
// with the menu word, "#" and ETX; the operator types a part number and CR.
// A download then asks for each line with ">"; an upload sends a line after
// each ">" from the station and ends with SUB. It keeps the standard
// control's commands (expect checks the station's answers).

#include "controls/standard_control.h"

namespace zova::sim {

class HybridControl : public StandardControl {
 public:
  HybridControl(SimLine& line, const SimOptions& options);

 private:
  // hybrid-choose LETTER [--timeout MS]: sends "!" and LETTER and waits for
  // the menu answer (CR LF, the word, " # ", ETX).
  bool Choose(const SimCommand& cmd, std::string& error);
  // hybrid-type TEXT [--end CODES]: types TEXT (bracket notation, so
  // "[BS]" is a backspace) and --end ("[CR]").
  bool Type(const SimCommand& cmd, std::string& error);
  // hybrid-download FILE [--timeout MS] [--quiet MS]: waits for "Ready To
  // Send*", then sends ">" and takes a line up to its LF, again and again,
  // until no line came within --quiet ms (2000) of a ">". FILE gets the
  // lines as they came.
  bool Download(const SimCommand& cmd, std::string& error);
  // hybrid-upload FILE [--timeout MS]: waits for "Ready To Receive*", then
  // sends each line of FILE with CR LF after a ">" from the station, and SUB
  // after the last one's ">".
  bool Upload(const SimCommand& cmd, std::string& error);

  // Waits until Text has come (what came before it is passed over).
  bool AwaitText(const std::string& text, long timeoutMs, const std::string& what,
                 std::string& error);
};

}  // namespace zova::sim
