// The BTR reception framing on the tapes a punch sends: where each program
// starts and ends, what of it is stored, and several programs in a row.

#include "serial/variants/btr_framer.h"

#include <gtest/gtest.h>

#include <vector>

namespace zova {
namespace {

struct Reception {
  std::string stored;
  bool started = false, complete = false, brokeOff = false, matched = false;
  bool operator==(const Reception&) const = default;
};

void PrintTo(const Reception& r, std::ostream* os) {
  *os << "{\"" << r.stored << "\" started " << r.started << " complete " << r.complete
      << " broke off " << r.brokeOff << " matched " << r.matched << "}";
}

// Every reception of Tape, fed in runs of Chunk, as the driver takes them:
// a reception that ends at another program's start character hands the rest
// of the run to the next; the end of the tape is a quiet line.
std::vector<Reception> Receptions(const BtrCodes& codes, std::string_view tape, size_t chunk) {
  std::vector<Reception> out;
  bool already = false;
  size_t pos = 0;
  for (;;) {
    BtrFramer f(codes, already);
    Reception r;
    while (!f.Ended()) {
      if (pos >= tape.size()) {
        f.Quiet();
        break;
      }
      const std::string_view run = tape.substr(pos, chunk);
      const size_t used = f.Feed(run, r.stored);
      EXPECT_TRUE(used == run.size() || f.Ended()) << "a run is cut short only at the end";
      pos += used;
    }
    r.started = f.Started();
    r.complete = f.Complete();
    r.brokeOff = f.BrokeOffInStart();
    r.matched = f.SequenceMatched();
    out.push_back(r);
    if (!f.NextFollows()) break;
    already = true;
  }
  return out;
}

BtrCodes Codes(std::string start, std::string stop, std::string end = "", bool lagre = false) {
  BtrCodes c;
  c.startKode = std::move(start);
  c.stoppKode = std::move(stop);
  c.stoppTegn = std::move(end);
  c.lagreKoder = lagre;
  return c;
}

const std::string kP1 = "O1000 (A)\r\nG0 X1\r\nM30\r\n";
const std::string kP2 = "O2000 (B)\r\nG1 Y2\r\nM30\r\n";

TEST(BtrFramer, FramesTheTapesOfAPunch) {
  BtrCodes parens = Codes("%", "%");
  parens.parentheses = true;
  BtrCodes withSeq = Codes("%", "%");
  withSeq.stoppFeil = "M30";
  BtrCodes second = Codes("%", "%");
  second.startKode2 = ":";
  BtrCodes tv = Codes("\n", "%");
  tv.terminator = '\x7f';
  struct Case {
    const char* name;
    BtrCodes codes;
    std::string tape;
    std::vector<Reception> want;
  } cases[] = {
      {"one program between its codes; the codes are not stored",
       Codes("%", "%"),
       "%\r\n" + kP1 + "%\r\n",
       {{kP1, true, true, false, false}}},
      {"with LagreKoder the start and stop codes are stored around it",
       Codes("%", "%", "", true),
       "%\r\n" + kP1 + "%\r\n",
       {{"%" + kP1 + "%", true, true, false, false}}},
      {"two programs back to back are two receptions",
       Codes("%", "%"),
       "%\r\n" + kP1 + "%\r\n%\r\n" + kP2 + "%\r\n",
       {{kP1, true, true, false, false}, {kP2, true, true, false, false}}},
      {"two programs with their codes stored, each with its own",
       Codes("%", "%", "", true),
       "%\r\n" + kP1 + "%\r\n%\r\n" + kP2 + "%\r\n",
       {{"%" + kP1 + "%", true, true, false, false}, {"%" + kP2 + "%", true, true, false, false}}},
      {"leader and text before the start code are not stored",
       Codes("%", "%"),
       std::string("\0\0\0TEKST", 8) + "%\r\n" + kP1 + "%",
       {{kP1, true, true, false, false}}},
      {"a multi-character start code is passed whole",
       Codes("%\r\n", "%"),
       "%\r\n\r\n" + kP1 + "%",
       {{kP1, true, true, false, false}}},
      {"a LF start code (the BTR default) after feed holes",
       Codes("\n", "%"),
       std::string("\0\0\n", 3) + kP1 + "%",
       {{kP1, true, true, false, false}}},
      {"the TV terminator belongs to the start sequence",
       tv,
       "\n\x7f\r" + kP1 + "%",
       {{kP1, true, true, false, false}}},
      {"StartKode2 starts a program too", second, ":\r\n" + kP1 + "%", {{kP1, true, true}}},
      {"a control that breaks off inside the start sequence: nothing stored",
       Codes("%", "%"),
       "%\r\n",
       {{"", false, false, true, false}}},
      {"breaking off in the second start sequence keeps the first program",
       Codes("%", "%", "", true),
       "%\r\n" + kP1 + "%\r\n%\r",
       {{"%" + kP1 + "%", true, true, false, false}, {"", false, false, true, false}}},
      {"the end character before the start: nothing started",
       Codes("%", "%", "\x04"),
       "TEKST\x04%\r\n" + kP1,
       {{"", false, false, false, false}}},
      {"the end character inside the start sequence ends it",
       Codes("%", "%", "\x04"),
       "%\r\x04" + kP1,
       {{"", false, false, true, false}}},
      {"the end character after the stop: no further program",
       Codes("%", "%", "\x04"),
       "%\r\n" + kP1 + "%\r\n\x04%\r\n" + kP2,
       {{kP1, true, true, false, false}}},
      {"cut off by silence: incomplete, and no stop code is made up",
       Codes("%", "%", "", true),
       "%\r\n" + kP1,
       {{"%" + kP1, true, false, false, false}}},
      {"the end character inside a program with a stop code: incomplete",
       Codes("%", "%", "\x04"),
       "%\r\n" + kP1 + "\x04",
       {{kP1, true, false, false, false}}},
      {"without a stop code the end character closes a whole program",
       Codes("%", "", "\x04"),
       "%\r\n" + kP1 + "\x04",
       {{kP1, true, true, false, false}}},
      {"a stop code in a comment is text with parenthesis tracking",
       parens,
       "%\r\nO1 (50%)\r\nM30\r\n%",
       {{"O1 (50%)\r\nM30\r\n", true, true, false, false}}},
      {"without tracking it ends the program; the rest waits for a start",
       Codes("%", "%"),
       "%\r\nO1 (50%)\r\nM30\r\n%",
       {{"O1 (50", true, true, false, false}, {"", false, false, true, false}}},
      {"the StoppFeil sequence is seen in the program",
       withSeq,
       "%\r\n" + kP1,
       {{kP1, true, false, false, true}}},
  };
  for (const Case& c : cases) {
    for (size_t chunk : {size_t{1}, size_t{3}, size_t{4096}}) {
      EXPECT_EQ(Receptions(c.codes, c.tape, chunk), c.want)
          << c.name << " (runs of " << chunk << ")";
    }
  }
}

TEST(BtrFramer, ReadsAsQuietOnlyAfterTheProgram) {
  BtrFramer f(Codes("%", "%"), false);
  std::string stored;
  f.Feed("%\r\nG0", stored);
  EXPECT_EQ(f.Phase(), BtrPhase::InProgram);
  EXPECT_FALSE(f.IdleReads());
  f.Feed("%", stored);
  EXPECT_EQ(f.Phase(), BtrPhase::AfterStop);
  EXPECT_TRUE(f.IdleReads());
  EXPECT_EQ(f.Feed("\r\n%X", stored), 3u) << "the next start character is taken, not more";
  EXPECT_TRUE(f.NextFollows());
  EXPECT_EQ(stored, "G0");
}

}  // namespace
}  // namespace zova
