#include "serial/variants/echo_rules.h"

namespace zova {

bool RccAsksForProgram(bool read, char first, bool rccBareSend, bool rccGammel) {
  if (rccBareSend) return true;
  if (!read) return false;
  return rccGammel ? first == '\0' : first != '\0';
}

EchoNext AfterEchoAttempt(int attempt, int repeter, bool read, char sent, char echo) {
  if (read) return echo == sent ? EchoNext::Matched : EchoNext::Wrong;
  return attempt <= repeter ? EchoNext::Again : EchoNext::GaveUp;
}

}  // namespace zova
