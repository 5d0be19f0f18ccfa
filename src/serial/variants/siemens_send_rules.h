#pragma once
// How a send to a Siemens control is paced, one character at a time: the
// control reads an archive program by program and needs time to set up each
// one, so the station pauses after a program's "%" header line and before the
// next "%", and after every line of a cycle block ("%C" ... "M3"). Once the
// first program is under way a character the control refuses is not tried
// again: it refuses only when it has stopped reading.

#include <cstdint>

namespace zova {

// What the station remembers between two characters of one send. A new send
// starts from the default state.
struct SiemensSendState {
  char previous = ' ';
  bool inCycle = false;
  bool pausePending = false;
  bool retriesOff = false;
};

struct SiemensCharStep {
  bool pauseBefore = false;  // pause before this character is written
  bool noRetry = false;      // write this character without retries
};

// The decision for Ch, the next character of the file. CharCount: characters
// the line has sent so far in this send; Blokkvis: the line answers block by
// block (then retries stay on).
SiemensCharStep NextSiemensChar(SiemensSendState& state, char ch, int64_t charCount, bool blokkvis);

}  // namespace zova
