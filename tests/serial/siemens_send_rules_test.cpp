// Where a send to a Siemens control pauses and where it stops retrying,
// shown on whole archives: "|" marks a pause before the next character.

#include "serial/variants/siemens_send_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace zova {
namespace {

struct Paced {
  std::string marked;      // the archive with "|" before every paused character
  long retriesOffAt = -1;  // index of the first character sent without retries
};

// CharCount grows by one a character, after Before characters (StartEkstra).
Paced Pace(const std::string& archive, int before = 0, bool blokkvis = false) {
  SiemensSendState state;
  Paced out;
  int64_t count = before;
  for (size_t i = 0; i < archive.size(); ++i) {
    const SiemensCharStep step = NextSiemensChar(state, archive[i], count, blokkvis);
    if (step.pauseBefore) out.marked += '|';
    out.marked += archive[i];
    if (step.noRetry && out.retriesOffAt < 0) out.retriesOffAt = static_cast<long>(i);
    if (!step.noRetry && out.retriesOffAt >= 0) out.retriesOffAt = -2;  // never back on
    ++count;
  }
  return out;
}

struct Case {
  const char* name;
  std::string archive;
  int before;
  bool blokkvis;
  std::string marked;
  long retriesOffAt;
};

TEST(SiemensSendRules, ArchivesPauseAfterEachHeaderAndBeforeEachNextProgram) {
  const Case cases[] = {
      {"two programs", "%_N_A_MPF\n;$PATH=/_N_MPF_DIR\nN10 G0 X1\nM30\n%_N_B_MPF\nM30\n", 0, false,
       "%_N_A_MPF\n|;$PATH=/_N_MPF_DIR\nN10 G0 X1\nM30\n|%_N_B_MPF\n|M30\n", 1},
      {"CR LF lines pause as LF lines", "%_N_A\r\nN1\r\n%_N_B\r\nN2\r\n", 0, false,
       "%_N_A\r\n|N1\r\n|%_N_B\r\n|N2\r\n", 1},
      // The pause waits for a line end: a header ended by CR alone gets none.
      {"CR-only lines", "%_N_A\rN1\r", 0, false, "%_N_A\rN1\r", 1},
      {"a cycle block pauses after every line up to M3", "%C\nG1 X1\nG1 X2\nM30\nN1\n%_N_B\nN2\n",
       0, false, "%C\n|G1 X1\n|G1 X2\n|M30\n|N1\n|%_N_B\n|N2\n", 23},
      {"%S keeps retries on", "%SPF\nN1\n", 0, false, "%SPF\n|N1\n", -1},
      {"block-wise lines keep retries on", "%_N_A\nN1\n%_N_B\n", 0, true, "%_N_A\n|N1\n|%_N_B\n",
       -1},
      // The first "%" waits only when StartEkstra went before it.
      {"a leader before the first %", "%_N_A\nN1\n", 6, false, "|%_N_A\n|N1\n", 1},
      {"% within the first characters", "N1\n%_N_A\nN2\n", 0, false, "N1\n%_N_A\n|N2\n", 4},
      {"no % at all", "N1\nN2\nM30\n", 0, false, "N1\nN2\nM30\n", -1},
      {"a % inside a line", "%_N_A\nN1 (50%)\nN2\n", 0, false, "%_N_A\n|N1 (50|%)\n|N2\n", 1},
  };
  for (const Case& c : cases) {
    const Paced p = Pace(c.archive, c.before, c.blokkvis);
    EXPECT_EQ(p.marked, c.marked) << c.name;
    EXPECT_EQ(p.retriesOffAt, c.retriesOffAt) << c.name;
  }
}

}  // namespace
}  // namespace zova
