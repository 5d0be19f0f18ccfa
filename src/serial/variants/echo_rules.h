#pragma once
// The small decisions of an echo line (every character is echoed by the
// receiving end), kept out of the driver's loops: whether the first
// character of a control asks for a program, and what the station does after
// each attempt to get a character's echo.

namespace zova {

// With RCC: the control's first character (Read false: none came) asks for
// a program rather than starting one. BareSend: every first character asks;
// Gammel: the older controls ask with NUL, the newer with anything but NUL.
bool RccAsksForProgram(bool read, char first, bool rccBareSend, bool rccGammel);

enum class EchoNext {
  Matched,  // the echo came back right: the next character
  Again,    // nothing came back: the character is written again
  GaveUp,   // nothing came back to the last of Repeter + 1 attempts
  Wrong,    // something else came back: the send fails at once
};
// After attempt Attempt (from 1) of Sent; Read false: the read timed out.
EchoNext AfterEchoAttempt(int attempt, int repeter, bool read, char sent, char echo);

}  // namespace zova
