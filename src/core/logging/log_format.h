#pragma once
// Pure formatting of the log files: byte-log entries with direction marks,
// pause markers and line breaks, dates and times, the status-record time
// pattern.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "core/clock.h"

namespace zova {

// The local broken-down time of a second since the epoch. Status records
// and published states convert every record's time, often the same second
// again, so each thread keeps its last conversion.
std::tm LocalTm(std::time_t secs);

// Local date "dd.mm.yyyy" and time "hh:mm:ss" (the shop's regional formats).
std::string ShortDate(WallTime t);
std::string LongTime(WallTime t);

// Formats T with a date-time pattern: d dd m mm yy yyyy h hh n nn s ss z zzz
// (m/mm after h/hh mean minutes), text in double quotes literal, any other
// character copied; letters in either case.
std::string FormatDateTimePattern(std::string_view pattern, WallTime t);

// "![0.5]" for a pause of at least 450 ms, with date and time when longer
// than 15 s ("![08.12.2026 10:00:00-20.0]"); empty for shorter pauses.
std::string PauseMarker(int64_t pauseMs, WallTime now);

// State of one byte log between bytes.
struct ByteLogState {
  uint8_t prevByte = ' ';
};

// Appends one logged byte (Latin-1): a line break after CR/LF runs, then the
// mark and the byte in visual notation.
void AppendLoggedByte(std::string& out, ByteLogState& state, char mark, uint8_t b, bool lineBreaks);

}  // namespace zova
