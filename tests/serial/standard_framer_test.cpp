// The standard reception framing on the byte streams controls send.

#include "serial/standard/standard_framer.h"

#include <gtest/gtest.h>

namespace zova {
namespace {

TEST(StandardFramer, DecidesWhatIsStoredAndWhenTheReceptionIsWhole) {
  const std::string program = "%\r\nO1 (A)\r\nG0 X1\r\nM30\r\n%\r\n";
  struct Case {
    const char* name;
    StandardCodes codes;
    std::string stream;
    size_t stored, used;  // of the stream fed in one run
    bool ended, complete;
  } cases[] = {
      {"stop code and end character; what follows is the next reception",
       {"%", "%", "[EOT]", ""},
       program + "\x04" + "%\r\n",
       program.size(),
       program.size() + 1,
       true,
       true},
      {"a stop code before the start code is text",
       {"%", "M", "", ""},
       "M%\r\nG0\r\n",
       8,
       8,
       false,
       false},
      {"the stop code closes the program", {"%", "M", "", ""}, "M%\r\nM30\r\n", 9, 9, false, true},
      {"without a stop code anything after the start is whole",
       {"%", "", "", ""},
       "%G0",
       3,
       3,
       false,
       true},
      {"never started", {"%", "", "", ""}, "G0 X1\r\n", 7, 7, false, false},
      {"no start code: started at once", {"", "M", "", ""}, "G0\r\nM30", 7, 7, false, true},
      {"the StoppFeil sequence makes it whole",
       {"%", "X", "", "M30"},
       "%\r\nG0\r\nM30\r\n",
       12,
       12,
       false,
       true},
      {"a StoppFeil sequence split by others is no match",
       {"%", "X", "", "M30"},
       "%M3 0",
       5,
       5,
       false,
       false},
      {"the end character before the start",
       {"%", "%", "[EOT]", ""},
       "\x04%G0%",
       0,
       1,
       true,
       false},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.codes.stoppTegn == "[EOT]") c.codes.stoppTegn = "\x04";
    StandardFramer f(c.codes);
    const StandardFramer::Step s = f.Feed(c.stream);
    EXPECT_EQ(s.stored, c.stored);
    EXPECT_EQ(s.used, c.used);
    EXPECT_EQ(f.Ended(), c.ended);
    EXPECT_EQ(f.Complete(), c.complete);
    EXPECT_EQ(f.Feed("%").used, c.ended ? 0u : 1u) << "an ended reception takes nothing more";
  }
}

TEST(StandardFramer, AQuietLineEndsItOnlyOutsideTheProgram) {
  StandardFramer f({"%", "%", "", ""});
  EXPECT_TRUE(f.QuietEnds()) << "before the start code";
  f.Feed("%G0");
  EXPECT_FALSE(f.QuietEnds()) << "inside the program the line's full timeout applies";
  f.Feed("X1%");
  EXPECT_TRUE(f.QuietEnds()) << "after the stop code";
}

TEST(StandardFramer, TheRestOfALongerEndSequenceIsDroppedByTheDriver) {
  StandardFramer f({"%", "", "\x04\x04\x04", ""});
  EXPECT_EQ(f.EndSequenceRest(), 0u);
  f.Feed("%G0\x04");
  EXPECT_EQ(f.EndSequenceRest(), 2u);
}

}  // namespace
}  // namespace zova
