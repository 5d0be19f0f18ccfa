// The opening of a DC2 send: after each DC2, whether the station asks again,
// starts or gives up, by what the control answered.

#include "serial/variants/tdc2.h"

#include <gtest/gtest.h>

namespace zova {
namespace {

struct Dc2Case {
  int sent, repeter;
  bool read;
  char answer;
  Dc2Next next;
};

TEST(Dc2Opening, EachDc2IsFollowedByTheAnswersDecision) {
  const Dc2Case cases[] = {
      {1, 1, true, kXon, Dc2Next::Started},
      {1, 3, true, kXon, Dc2Next::Started},
      {3, 3, true, kXon, Dc2Next::Started},  // the last try still counts
      {1, 1, false, 0, Dc2Next::GiveUp},
      {1, 1, true, 'A', Dc2Next::GiveUp},  // only XON lets the send go
      {1, 1, true, kXoff, Dc2Next::GiveUp},
      {1, 1, true, kDc2, Dc2Next::GiveUp},
      {1, 2, false, 0, Dc2Next::Again},
      {2, 3, true, '%', Dc2Next::Again},
      {3, 3, false, 0, Dc2Next::GiveUp},
      {1, 0, false, 0, Dc2Next::GiveUp},
  };
  for (const Dc2Case& c : cases)
    EXPECT_EQ(AfterDc2(c.sent, c.repeter, c.read, c.answer), c.next)
        << "DC2 " << c.sent << " of " << c.repeter << ", read " << c.read << ", answer "
        << static_cast<int>(c.answer);
}

TEST(Dc2Opening, AnXonIsTheStartOnlyWhenItWasRead) {
  // A failed read leaves the character undefined; a stale XON in it must
  // not start the send.
  EXPECT_EQ(AfterDc2(1, 1, false, kXon), Dc2Next::GiveUp);
  EXPECT_EQ(AfterDc2(1, 2, false, kXon), Dc2Next::Again);
}

}  // namespace
}  // namespace zova
