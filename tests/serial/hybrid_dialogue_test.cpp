// The Hybrid menu's decisions on characters: the answer to a menu letter,
// the part number as the control types it, and the lines of an upload with
// the station's ">" prompts.

#include "serial/variants/hybrid_dialogue.h"

#include <gtest/gtest.h>

#include <string>

namespace zova {
namespace {

TEST(HybridMenu, EachLetterIsAnsweredWithItsWord) {
  const struct {
    char letter;
    const char* answer;
  } cases[] = {
      {'R', "\r\nUpload Part # \x03"}, {'S', "\r\nDownload Part # \x03"},
      {'T', "\r\nFilnavn # \x03"},     {'r', "\r\nError # \x03"},
      {'X', "\r\nError # \x03"},       {'\0', "\r\nError # \x03"},
  };
  for (const auto& c : cases) EXPECT_EQ(HybridMenuAnswer(c.letter), c.answer) << c.letter;
}

TEST(HybridPartNumber, OnlyItsCharactersAreKeptAndBsOrSubDeletes) {
  const struct {
    const char* typed;
    const char* number;
    PartEntry end;
  } cases[] = {
      {"1234\r", "1234", PartEntry::Ok},
      {"P12 34.NC\r", "1234.", PartEntry::Ok},  // letters and blanks are not part of it
      {"12/3-4\r", "12\\3-4", PartEntry::Ok},
      {"12\b3\r", "13", PartEntry::Ok},
      {"1\x1a\x1a\x1a"
       "2\r",
       "2", PartEntry::Ok},
      {"1A\b\r", "", PartEntry::Ok},                // BS deletes the last kept character, not the A
      {"..\\..\\1\r", "..\\..\\1", PartEntry::Ok},  // whether it may be used is not decided here
      {"12!", "12", PartEntry::Cancel},
      {"12\x12", "12", PartEntry::Dc2},
      {"12\x04", "12", PartEntry::Ended},
      {"12\n", "12", PartEntry::Going},  // LF is no end of the number
      {"\x80\xff\x7f\t12", "12", PartEntry::Going},
  };
  for (const auto& c : cases) {
    PartNumberInput input;
    PartEntry end = PartEntry::Going;
    for (const char* p = c.typed; *p && end == PartEntry::Going; ++p) end = input.Take(*p);
    EXPECT_EQ(input.Number(), c.number) << c.typed;
    EXPECT_EQ(end, c.end) << c.typed;
  }
}

TEST(HybridPartNumber, FileNameGetsTheExtensionOrBecomesNoName) {
  EXPECT_EQ(PartNumberFileName("", ".NC"), "0000.NC");
  EXPECT_EQ(PartNumberFileName("1234", ".NC"), "1234.NC");
  EXPECT_EQ(PartNumberFileName("1234.5", ".NC"), "1234.5");
  EXPECT_EQ(PartNumberFileName("1.2\\34", ".NC"), "1.2\\34");  // a "." anywhere counts
}

// Every step of the splitter as text: ">" for a prompt, "[text]" for a
// line, "{text}" for a piece cut for its length, "[SUB]" for the end.
std::string Split(const std::string& stream) {
  PromptedLineSplitter splitter;
  std::string trace;
  for (char ch : stream) {
    const PromptedLineSplitter::Step step = splitter.Take(ch);
    if (step.prompt) trace += '>';
    switch (step.end) {
      case PromptedLineSplitter::End::None:
        continue;
      case PromptedLineSplitter::End::Line:
        trace += "[" + splitter.Line() + "]";
        break;
      case PromptedLineSplitter::End::Cut:
        trace += "{" + std::to_string(splitter.Line().size()) + "}";
        break;
      case PromptedLineSplitter::End::Sub:
        trace += "[SUB]";
        break;
    }
    splitter.Clear();
  }
  return trace;
}

TEST(HybridUpload, LinesEndAtTheirLineEndAndEveryLfIsPrompted) {
  const std::string x250(250, 'x');
  const struct {
    const char* name;
    std::string stream, trace;
  } cases[] = {
      {"CR LF lines", "N1\r\nN2\r\n\x1a", "[N1]>[N2]>[SUB]"},
      {"LF lines", "N1\nN2\n\x1a", ">[N1]>[N2][SUB]"},
      {"CR lines get no prompt", "N1\rN2\r", "[N1][N2]"},
      {"empty lines are skipped but prompted", "\r\n\r\nN1\r\n", ">>[N1]>"},
      {"SUB inside a line is text", "N1\x1a\rN2\r", "[N1\x1a][N2]"},
      {"a long line is cut and goes on", x250 + "yz\r\n", "{250}[yz]>"},
      {"a line of exactly the limit keeps its line end", x250 + "\r\nN2\r\n", "{250}[]>[N2]>"},
      {"SUB after a cut is the line's text", x250 + "\x1a\r\n\x1a", "{250}[\x1a]>[SUB]"},
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.stream), c.trace) << c.name;
}

}  // namespace
}  // namespace zova
