#include "protocols/heidenhain/linje_framer.h"

#include <gtest/gtest.h>

namespace zova {
namespace {

struct File {
  std::vector<std::string> lines;
  bool complete = false;
  bool started = false;
  bool operator==(const File&) const = default;
};

std::ostream& operator<<(std::ostream& o, const File& f) {
  o << (f.complete ? "complete" : "open") << (f.started ? " started [" : " not started [");
  for (const auto& l : f.lines) o << "\"" << l << "\" ";
  return o << "]";
}

// What the driver does: each file from the line carried over; a character
// given back is read again for the next file; the stream's end is a quiet
// line.
std::vector<File> Receive(const LinjeCodes& codes, const std::string& stream) {
  std::vector<File> files;
  std::string carried;
  size_t at = 0;
  do {
    LinjeFramer f(codes, carried);
    File file;
    while (!f.Ended()) {
      if (at == stream.size()) {
        f.Quiet();
      } else if (f.Feed(stream[at]) == LinjeFramer::Take::Used) {
        ++at;
      }
      for (auto& l : f.Ready()) file.lines.push_back(l);
      f.Ready().clear();
    }
    file.complete = f.Complete();
    file.started = f.StartMet();
    files.push_back(file);
    carried = f.CarryOver();
  } while (!carried.empty());
  return files;
}

TEST(LinjeFramer, ProgramsAreSplitByTheirCodes) {
  const LinjeCodes percent{"%", "%", "", ""};
  const LinjeCodes noStop{"%", "", "", ""};
  const LinjeCodes beginEnd{"BEGIN", "END", "", ""};
  struct Case {
    const char* what;
    LinjeCodes codes;
    std::string stream;
    std::vector<File> files;
  } cases[] = {
      {"the closing code equal to the start code ends its own program",
       percent,
       "%\r\nO1\r\nG0\r\n%\r\n",
       {{{"%", "O1", "G0", "%"}, true, true}}},
      {"the next start after the end begins a program of its own",
       percent,
       "%\r\nA\r\n%\r\n%\r\nB\r\n%\r\n",
       {{{"%", "A", "%"}, true, true}, {{"%", "B", "%"}, true, true}}},
      {"a start before the end begins the next program",
       beginEnd,
       "BEGIN 1\nX\nBEGIN 2\nY\nEND 2\n",
       {{{"BEGIN 1", "X"}, false, true}, {{"BEGIN 2", "Y", "END 2"}, true, true}}},
      {"lines after the end stay with the program",
       beginEnd,
       "BEGIN 1\nEND 1\nM30\n",
       {{{"BEGIN 1", "END 1", "M30"}, true, true}}},
      {"without a stop code a last start line followed by silence closes",
       noStop,
       std::string("%\nA\n%\r\n\0\0", 10),
       {{{"%", "A", "%"}, true, true}}},
      {"without a stop code a start line followed by more begins the next",
       noStop,
       "%\nA\n%\nB\n",
       {{{"%", "A"}, true, true}, {{"%", "B"}, true, true}}},
      {"without a start code every line is program",
       {"", "%", "", ""},
       "A\nB\n%\nC\n",
       {{{"A", "B", "%", "C"}, true, true}}},
      {"StoppFeil ends the program",
       {"%", "", "M30", ""},
       "%\nA\nM30\n",
       {{{"%", "A", "M30"}, true, true}}},
      {"text before the start is stored but not started",
       percent,
       "ABC\nDEF\n",
       {{{"ABC", "DEF"}, false, false}}},
      {"StoppTegn ends the line and the transmission",
       {"%", "%", "", "\x04"},
       "%\nA\nB\x04"
       "C\n",
       {{{"%", "A", "B"}, true, true}}},
      {"a start line just before StoppTegn stays with its program",
       {"BEGIN", "END", "", "\x04"},
       "BEGIN 1\nX\nBEGIN 2\x04",
       {{{"BEGIN 1", "X", "BEGIN 2"}, true, true}}},
      {"empty lines are skipped",
       percent,
       "\r\n\r\n%\r\n\r\nA\r\n%",
       {{{"%", "A", "%"}, true, true}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Receive(c.codes, c.stream), c.files) << c.what;
}

TEST(LinjeFramer, LongLinesAreCut) {
  const std::string stream = "%\n" + std::string(300, 'X') + "\n%\n";
  const std::vector<File> files = Receive({"%", "%", "", ""}, stream);
  ASSERT_EQ(files.size(), 1u);
  ASSERT_EQ(files[0].lines.size(), 4u);
  EXPECT_EQ(files[0].lines[1], std::string(LinjeFramer::kMaxLine, 'X'));
  EXPECT_EQ(files[0].lines[2], std::string(50, 'X'));
}

TEST(LinjeFramer, QuietReadsOnceTheEndIsMet) {
  LinjeFramer f({"%", "%", "", ""}, "");
  for (char ch : std::string("%\nA\n")) f.Feed(ch);
  EXPECT_FALSE(f.QuietEnds()) << "inside the program the whole timeout";
  for (char ch : std::string("%\n")) f.Feed(ch);
  EXPECT_TRUE(f.QuietEnds());
  EXPECT_TRUE(f.Complete());
}

}  // namespace
}  // namespace zova
