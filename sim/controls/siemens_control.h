#pragma once
// A Siemens control reading and punching archives: an archive is one or more
// programs, each starting with its "%" header line, sent or taken in one go.
// When it takes an archive it notes when each byte came, so that the pauses
// the station makes between the programs can be seen. It keeps the standard
// control's commands.

#include "controls/standard_control.h"

namespace zova::sim {

class SiemensControl : public StandardControl {
 public:
  SiemensControl(SimLine& line, const SimOptions& options);

 private:
  // siemens-receive FILE [--times FILE] [--until CODES] [--first MS]
  // [--quiet MS]: takes what the station sends into FILE up to the end
  // character --until (kept), or until the line was quiet for --quiet ms
  // (2000); the first byte is awaited --first ms (10000). --times gets one
  // line a byte: the milliseconds since the first byte came.
  bool Receive(const SimCommand& cmd, std::string& error);
  // siemens-send FILE [--leader N] [--end CODES]: sends N NULs, the archive
  // (which starts with "%" or "@") and the end characters.
  bool Send(const SimCommand& cmd, std::string& error);
};

}  // namespace zova::sim
