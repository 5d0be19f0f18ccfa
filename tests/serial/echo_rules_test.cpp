// The decisions of an echo line: whether a control's first character asks
// for a program (RCC), and what follows each attempt to get an echo.

#include "serial/variants/echo_rules.h"

#include <gtest/gtest.h>

namespace zova {
namespace {

struct RccCase {
  bool read;
  char first;
  bool bareSend, gammel;
  bool asks;
};

TEST(EchoRules, TheFirstCharacterAsksByTheConfiguredRule) {
  const RccCase cases[] = {
      // The newer rule: anything but NUL asks; NUL announces a program.
      {true, 'A', false, false, true},
      {true, '%', false, false, true},
      {true, '\0', false, false, false},
      {false, 'A', false, false, false},  // nothing read asks for nothing
      // The older rule turns it round.
      {true, '\0', false, true, true},
      {true, '%', false, true, false},
      {false, '\0', false, true, false},
      // BareSend: every first character asks, whatever the other rule.
      {true, '%', true, false, true},
      {true, '\0', true, false, true},
      {true, '%', true, true, true},
      {false, 0, true, false, true},
  };
  for (const RccCase& c : cases)
    EXPECT_EQ(RccAsksForProgram(c.read, c.first, c.bareSend, c.gammel), c.asks)
        << "read " << c.read << ", char " << static_cast<int>(c.first) << ", bare " << c.bareSend
        << ", gammel " << c.gammel;
}

struct AttemptCase {
  int attempt, repeter;
  bool read;
  char echo;
  EchoNext next;
};

TEST(EchoRules, EachAttemptEndsMatchedAgainGivenUpOrWrong) {
  const char sent = 'G';
  const AttemptCase cases[] = {
      {1, 0, true, 'G', EchoNext::Matched},
      {1, 0, false, 0, EchoNext::GaveUp},  // Repeter 0: exactly one attempt
      {1, 1, false, 0, EchoNext::Again},
      {2, 1, false, 0, EchoNext::GaveUp},
      {2, 1, true, 'G', EchoNext::Matched},  // the last attempt still counts
      {3, 5, false, 0, EchoNext::Again},
      {6, 5, false, 0, EchoNext::GaveUp},
      // A wrong echo fails at once, however many attempts are left.
      {1, 5, true, 'g', EchoNext::Wrong},
      {1, 0, true, '\0', EchoNext::Wrong},
      {2, 3, true, 'X', EchoNext::Wrong},
  };
  for (const AttemptCase& c : cases)
    EXPECT_EQ(AfterEchoAttempt(c.attempt, c.repeter, c.read, sent, c.echo), c.next)
        << "attempt " << c.attempt << " of " << c.repeter + 1 << ", read " << c.read;
}

TEST(EchoRules, AStaleCharacterOfAFailedReadIsNoEcho) {
  // A read that timed out leaves the character as it was; it must not pass
  // for the echo.
  EXPECT_EQ(AfterEchoAttempt(1, 1, false, 'G', 'G'), EchoNext::Again);
  EXPECT_EQ(AfterEchoAttempt(1, 0, false, 'G', 'G'), EchoNext::GaveUp);
}

}  // namespace
}  // namespace zova
