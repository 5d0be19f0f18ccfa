#pragma once
// The LSV2 link run on a driver's line: the decisions of lsv2_link carried
// out with the driver's reads, writes and log. Shared by the drivers that
// speak LSV2 framing; what a driver does with a collision telegram and how
// it tells a repeated block is its own.

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "protocols/lsv2/lsv2_link.h"
#include "serial/line/tcom.h"

namespace zova::lsv2 {

class PortLink {
 public:
  // OnCollision runs when the control sent ENQ at the same time as the
  // station: it takes the control's telegram (DLE "0" not yet written).
  PortLink(TCom& driver, TComPort& com, std::function<void()> onCollision,
           ReceiveLimits limits = {})
      : driver_(driver), com_(com), onCollision_(std::move(onCollision)), limits_(limits) {}

  // One character as Mode says; false when none came.
  bool Read(ReadMode mode, char& ch);
  // Bytes to the line; false when not all went out.
  bool Write(std::string_view bytes);
  bool Connect();
  bool SendFrame(const std::string& frame);
  // Connect, the frame, the log line ended. A telegram the framing refuses
  // (an ETX or ETB in its text) is not sent.
  bool Send(std::string_view telegram);
  // One telegram; Notice (empty unless a block had to be repeated) is for
  // the caller to show.
  bool Receive(std::string& telegram, bool enqSeen, Receiver::Notice& notice);

 private:
  TCom& driver_;
  TComPort& com_;
  std::function<void()> onCollision_;
  ReceiveLimits limits_;
};

}  // namespace zova::lsv2
