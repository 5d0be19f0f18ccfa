#include "protocols/raskin/raskin_framer.h"

#include <gtest/gtest.h>

namespace zova::raskin {
namespace {

TEST(RaskinFramer, FetchRequestFromTheNameCell) {
  struct Case {
    const char* cell;
    const char* request;
  } cases[] = {
      {"1234.NC", "PC,1234\r"}, {"ABC.NC", "ABC\r"}, {"1234", "PC,1234\r"},
      {"0000.NC", "0000\r"},    {"12A.NC", "12A\r"}, {"O1000.NC", "O1000\r"},
  };
  for (const Case& c : cases) EXPECT_EQ(FetchRequest(c.cell), c.request) << c.cell;
}

TEST(RaskinFramer, NameFromTheFirstLine) {
  struct Case {
    const char* line;
    const char* name;
  } cases[] = {
      {"$O55", "O55.NC"},
      {"%$O55 (FLENS)", "O55.NC"},
      {"$AB_12x", "AB_12.NC"},
      {"O55", ""},
      {"$", ""},
      {"$o55", ""},
      {"$12$34", "12.NC"},
  };
  for (const Case& c : cases) EXPECT_EQ(NameFromFirstLine(c.line, ".NC"), c.name) << c.line;
}

TEST(RaskinFramer, AnswerMatchesOnlyTheAcknowledgement) {
  struct Case {
    std::string bytes;
    bool matched;
  } cases[] = {
      {std::string(kAck7), true},
      {"\x10", false},
      {"?", false},
      {"\x10"
       "8",
       false},
      {"7", false},
  };
  for (const Case& c : cases) {
    AnswerMatcher m(kAck7);
    for (char ch : c.bytes) m.Feed(ch);
    EXPECT_EQ(m.Matched(), c.matched) << c.bytes;
    EXPECT_EQ(m.Answer(), c.bytes);
  }
}

TEST(RaskinFramer, LinesEndAtCrOrEot) {
  struct Case {
    std::string bytes;
    bool failAfter;
    const char* line;
    bool ok, eot;
  } cases[] = {
      {"G0 X1\r", false, "G0 X1", true, false},
      // A blank program line is a line: the fetch goes on past it.
      {"\r", false, "", true, false},
      {"\x04", false, "", true, true},
      {"M30\x04", false, "M30", true, true},
      {"G1", true, "G1", false, false},
      {"", true, "", false, false},
  };
  for (const Case& c : cases) {
    LineCollector l;
    for (char ch : c.bytes) {
      EXPECT_EQ(l.End(), LineEnd::Open) << c.bytes;
      l.Feed(ch);
    }
    if (c.failAfter) l.ReadFailed();
    EXPECT_EQ(l.Line(), c.line) << c.bytes;
    EXPECT_EQ(l.Ok(), c.ok) << c.bytes;
    EXPECT_EQ(l.Eot(), c.eot) << c.bytes;
  }
}

TEST(RaskinFramer, ResetStartsTheNextLine) {
  LineCollector l;
  for (char ch : std::string("N10\r")) l.Feed(ch);
  l.Reset();
  EXPECT_EQ(l.End(), LineEnd::Open);
  for (char ch : std::string("N20\r")) l.Feed(ch);
  EXPECT_EQ(l.Line(), "N20");
}

}  // namespace
}  // namespace zova::raskin
