#pragma once
// Offset programs that come back from a control, read into the tool register.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/tool_record.h"

namespace zova {

struct OffsetUpdate {
  int32_t ToolNo = 0;
  int Real = kL;  // index into ToolRecord::Reals
  double Value = 0;
};

// The values one line sets: "G10 ... L10..L13 P n R v", "G10L41T n E r H l",
// "G92 D n D+l [P+r]", "D n P 0=.. P14=..", "#TN n #I1 l #I2 r". A value
// without a decimal point is in units of 1/Mult (Fanuc input increments).
std::vector<OffsetUpdate> ParseOffsetLine(std::string_view line, double mult);

// Merges Updates into Records (sorted by ToolNo); a new tool is inserted.
void ApplyOffsetUpdates(const std::vector<OffsetUpdate>& updates, std::vector<ToolRecord>& records);

// Reads the program File into Register. With Expires (ToolRegUtgaar) the old
// register has expired and the program's tools replace it; otherwise they are
// merged in. On failure "Feil ved lagring" is shown, captioned Caption, and
// the register is left as it was when it could not be read.
bool StoreOffsetProgram(std::string_view file, std::string_view reg, bool expires, double mult,
                        std::string_view caption);

}  // namespace zova
