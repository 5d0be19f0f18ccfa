#pragma once
// Where a status record goes besides its file: the shop's production systems
// may want every record as it is written. One sink at a time; it is called on
// the writing driver's thread, right after the record's line was written (or
// failed), while the writers' lock is held: it must not block.

#include <functional>
#include <string>

#include "core/clock.h"

namespace zova {

struct StatusRecordEvent {
  int Machine = 0;  // M, whose status record file took the line
  int Code = 0;
  std::string Text;     // as written, cut to 50 characters (Latin-1)
  WallTime Time;        // the record's time stamp
  bool Stored = false;  // the line reached a file (the machine's or the fallback)
};

using StatusRecordSink = std::function<void(const StatusRecordEvent&)>;

// Null removes the sink.
void SetStatusRecordSink(StatusRecordSink sink);
void NotifyStatusRecord(const StatusRecordEvent& event);

}  // namespace zova
