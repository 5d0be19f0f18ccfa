// The framing of a Siemens reception on streams a control sends: feed holes
// and noise before the archive, the head from the first "%" that is not
// "%S", the end character, and when an end without it still counts as whole.

#include "serial/variants/siemens_framer.h"

#include <gtest/gtest.h>

#include <string>

namespace zova {
namespace {

const std::string kEot = "\x04";

struct Framed {
  std::string stored, head;
  size_t used = 0;
  bool started = false, headStarted = false, complete = false;
};

// The stream fed in runs of Chunk; the line goes quiet after it unless the
// reception ended first.
Framed Frame(const std::string& stoppTegn, const std::string& stream, size_t chunk) {
  SiemensFramer f(stoppTegn);
  Framed out;
  while (!f.Ended() && out.used < stream.size()) {
    const size_t used =
        f.Feed(std::string_view(stream).substr(out.used, chunk), out.stored, out.head);
    out.used += used;
  }
  f.Quiet();
  out.started = f.Started();
  out.headStarted = f.HeadStarted();
  out.complete = f.Complete();
  return out;
}

struct Case {
  const char* name;
  std::string stoppTegn, stream;
  std::string stored, head;
  size_t used;
  bool started, complete;
};

TEST(SiemensFramer, ReceptionsAreFramedFromTheirFirstPercentOrAt) {
  const std::string prog = "%_N_A_MPF\n;$PATH=/_N_MPF_DIR\nN10 G0 X1\nM30\n";
  const std::string nuls(5, '\0');
  const Case cases[] = {
      {"feed holes dropped, end character ends and is not stored", kEot,
       nuls + prog + kEot + "junk", prog, prog, 5 + prog.size() + 1, true, true},
      {"noise before the archive", kEot, "x\r\n" + prog + kEot, prog, prog, 3 + prog.size() + 1,
       true, true},
      {"@ starts the program, the head waits for its %", kEot, "ab@1\n%_N_B\nM30\n" + kEot,
       "@1\n%_N_B\nM30\n", "%_N_B\nM30\n", 16, true, true},
      {"%S does not start the head", kEot, "%SPF\nN1\n%_N_B\nN2\n" + kEot, "%SPF\nN1\n%_N_B\nN2\n",
       "%_N_B\nN2\n", 18, true, true},
      {"%% starts it at the first", kEot, "%%1\n" + kEot, "%%1\n", "%%1\n", 5, true, true},
      // Before the head the end character is left out but ends nothing.
      {"end character before the head", kEot, "@A" + kEot + "B\n%_N\n" + kEot + "C", "@AB\n%_N\n",
       "%_N\n", 10, true, true},
      {"% then the end character", kEot, "N%" + kEot + "X", "%", "%", 3, true, true},
      {"quiet after a line end", kEot, prog, prog, prog, prog.size(), true, true},
      {"quiet after a NUL", kEot, "%_N_A\nN1" + std::string(1, '\0'),
       "%_N_A\nN1" + std::string(1, '\0'), "%_N_A\nN1" + std::string(1, '\0'), 9, true, true},
      {"quiet in the middle of a line", kEot, "%_N_A\nN1 G0", "%_N_A\nN1 G0", "%_N_A\nN1 G0", 11,
       true, false},
      {"no end character configured", "", "%_N_A\nN1 G0", "%_N_A\nN1 G0", "%_N_A\nN1 G0", 11, true,
       true},
      {"only noise", kEot, "abc", "", "", 3, false, false},
      {"the end character alone (a control that was reset)", kEot, nuls + kEot + "%x", "", "", 6,
       false, true},
      {"a multi-character end sequence ends at its first", "\x04\x04", "%1\n" + kEot, "%1\n",
       "%1\n", 4, true, true},
  };
  for (const Case& c : cases) {
    for (size_t chunk : {c.stream.size() + 1, size_t{1}, size_t{3}}) {
      const Framed f = Frame(c.stoppTegn, c.stream, chunk);
      EXPECT_EQ(f.stored, c.stored) << c.name << ", runs of " << chunk;
      EXPECT_EQ(f.head, c.head) << c.name << ", runs of " << chunk;
      EXPECT_EQ(f.used, c.used) << c.name << ", runs of " << chunk;
      EXPECT_EQ(f.started, c.started) << c.name;
      EXPECT_EQ(f.complete, c.complete) << c.name;
    }
  }
}

TEST(SiemensFramer, ReadsAreQuietBeforeTheProgramAndOnceItsHeadStarted) {
  SiemensFramer f(kEot);
  std::string stored, head;
  EXPECT_TRUE(f.IdleReads()) << "feed holes: one quiet period ends them";
  f.Feed(std::string_view("\0\0@", 3), stored, head);
  EXPECT_FALSE(f.IdleReads()) << "in the program before its header the control may pause";
  f.Feed("1\n%", stored, head);
  EXPECT_FALSE(f.IdleReads()) << "a % alone may still be %S";
  f.Feed("_", stored, head);
  EXPECT_TRUE(f.IdleReads());
  EXPECT_TRUE(f.HeadStarted());
}

}  // namespace
}  // namespace zova
