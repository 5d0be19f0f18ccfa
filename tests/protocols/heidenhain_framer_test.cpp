#include "protocols/heidenhain/heidenhain_framer.h"

#include <gtest/gtest.h>

namespace zova::heidenhain {
namespace {

std::string S(std::initializer_list<std::string_view> parts) {
  std::string s;
  for (std::string_view p : parts) s += p;
  return s;
}
const std::string kStxS(1, kStx), kEtbS(1, kEtb), kSohS(1, kSoh), kEtxS(1, kEtx), kEotS(1, kEot);

TEST(HeidenhainFramer, BlocksKeepTheirCheckOutOfTheControlCharacters) {
  struct Case {
    std::string line;
    bool linjeSjekk;
    std::string frame;
  } cases[] = {
      // 0x6A is no control character: the line goes as it is.
      {"1 L X+10 R0 FMAX", false, S({kStxS, "1 L X+10 R0 FMAX", kEtbS, "j"})},
      // 0x09 would be: a blank is appended, and the check becomes 0x29.
      {"0 BEGIN PGM 1 MM", false, S({kStxS, "0 BEGIN PGM 1 MM ", kEtbS, ")"})},
      {"2 END PGM 1 MM", false, S({kStxS, "2 END PGM 1 MM ", kEtbS, "#"})},
      // 0x1B with its trailing blank: the blank goes, and the check is 0x3B.
      {"L X+1 ", false, S({kStxS, "L X+1", kEtbS, ";"})},
      {"FIL LAGRET", false, S({kStxS, "FIL LAGRET", kEtbS, "\x7F"})},
      // LinjeSjekk: a TAB becomes a blank, a character above 127 "D".
      {"A\tB\xE6", true, S({kStxS, "A BD", kEtbS, "r"})},
      // Without it the line goes as it is.
      {"A\tB\xE6", false, S({kStxS, "A\tB\xE6", kEtbS, "\xF9"})},
  };
  for (const Case& c : cases) EXPECT_EQ(EncodeBlock(c.line, c.linjeSjekk), c.frame) << c.line;
}

TEST(HeidenhainFramer, ReceiverStripsOneTrailingBlank) {
  EXPECT_EQ(StripOneTrailingBlank("L X+1  "), "L X+1 ");
  EXPECT_EQ(StripOneTrailingBlank("L X+1"), "L X+1");
  EXPECT_EQ(StripOneTrailingBlank(""), "");
  // Every line without a trailing blank comes back as it went.
  for (int i = 0; i < 200; ++i) {
    const std::string line = "L X+" + std::to_string(i) + " Y-" + std::to_string(i * 7);
    const std::string f = EncodeBlock(line, false);
    EXPECT_GE(static_cast<uint8_t>(f.back()), 32) << line;
    EXPECT_EQ(StripOneTrailingBlank(f.substr(1, f.size() - 3)), line);
  }
}

struct ReadCase {
  std::string bytes;
  std::string seed;
  BlockReader::Outcome outcome;
  std::string text;
  size_t used;  // npos: all of it
};

// Decided in one run, byte by byte and in runs of three, the same way.
void CheckRead(const ReadCase& c) {
  for (size_t step : {c.bytes.size() + 1, size_t{1}, size_t{3}}) {
    BlockReader r;
    r.Start(c.seed);
    size_t used = 0;
    while (!r.Decided() && used < c.bytes.size()) {
      const size_t n = r.Feed(std::string_view(c.bytes).substr(used, step));
      used += n;
      if (n == 0) break;
    }
    if (!r.Decided()) r.Quiet();
    EXPECT_EQ(r.Result(), c.outcome) << "step " << step;
    EXPECT_EQ(r.Text(), c.text) << "step " << step;
    EXPECT_EQ(used, c.used == std::string::npos ? c.bytes.size() : c.used) << "step " << step;
  }
}

TEST(HeidenhainFramer, BlocksAreDecidedWhateverTheRuns) {
  using O = BlockReader::Outcome;
  const size_t all = std::string::npos;
  const ReadCase cases[] = {
      {S({kStxS, "L X+1", kEtbS, ";"}), "", O::Accepted, S({kStxS, "L X+1"}), all},
      {S({kStxS, "L X+1", kEtbS, ":"}), "", O::Refused, "", all},
      // Flow characters between bytes are not text.
      {S({"\x11", kStxS, "L \x13X+1", kEtbS, ";"}), "", O::Accepted, S({kStxS, "L X+1"}), all},
      // What comes after the block is left for the next read.
      {S({kStxS, "L X+1", kEtbS, ";", kStxS}), "", O::Accepted, S({kStxS, "L X+1"}), 8},
      // Noise before STX is dropped with the text it started.
      {S({"xy", kStxS, "L X+1", kEtbS, ";"}), "", O::Accepted, S({kStxS, "L X+1"}), all},
      {S({kEtxS, kEotS}), "", O::End, kEotS, all},
      {S({kEtxS, kSohS, "H"}), "", O::End, kSohS, 2},
      {S({kEtxS, "X"}), "", O::End, kEtxS, 1},
      {kEtxS, "", O::End, kEtxS, all},
      {kEotS, "", O::End, kEotS, all},
      // EOT in place of the check: the control gave up.
      {S({kStxS, "L X+1", kEtbS, kEotS}), "", O::GaveUp, kEotS, all},
      // A block cut by silence fails without an answer.
      {S({kStxS, "L X+1"}), "", O::TimedOut, "", all},
      {S({kStxS, "L X+1", kEtbS}), "", O::TimedOut, "", all},
      // A header, and one whose SOH came as an answer before it.
      {S({kSohS, "HP1A", kEtbS, "~"}), "", O::Accepted, S({kSohS, "HP1A"}), all},
      {S({"HE ", kEtbS, ";"}), kSohS, O::Accepted, S({kSohS, "HE "}), all},
      // A check that happens to be a flow character is still the check.
      {S({kStxS, "L X+1", kEtbS, "\x11"}), "", O::Refused, "", all},
      {S({kStxS, std::string(BlockReader::kMaxText + 1, 'A'), kEtbS, "A"}), "", O::Refused, "",
       all},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.bytes);
    CheckRead(c);
  }
}

TEST(HeidenhainFramer, HeadersSayWhatTheControlWants) {
  using K = Header::Kind;
  struct Case {
    std::string text;
    K kind;
    char type;
    std::string name;
  } cases[] = {
      {S({kSohS, "HP1A"}), K::Store, 'H', "P1"},     {S({kSohS, "H  P1  E"}), K::Read, 'H', "P1"},
      {S({kSohS, "HE"}), K::Read, 'H', ""},          {S({kSohS, "HA"}), K::Store, 'H', ""},
      {S({kSohS, "TTOOLA"}), K::Store, 'T', "TOOL"}, {S({kSohS, "hP1A"}), K::Store, 'H', "P1"},
      {S({kSohS, "%P1E"}), K::Read, '%', "P1"},      {S({kSohS, "HP1X"}), K::Invalid, 0, ""},
      {S({kSohS, "/P1A"}), K::Invalid, 0, ""},       {"HP1A", K::Invalid, 0, ""},
      {S({kSohS, "H"}), K::Invalid, 0, ""},          {"", K::Invalid, 0, ""},
  };
  for (const Case& c : cases) {
    const Header h = ParseHeader(c.text);
    EXPECT_EQ(h.kind, c.kind) << c.text;
    if (c.kind == K::Invalid) continue;
    EXPECT_EQ(h.type, c.type) << c.text;
    EXPECT_EQ(h.name, c.name) << c.text;
  }
}

TEST(HeidenhainFramer, CommandsAreRecognisedAndTakenApart) {
  struct Case {
    std::string text;
    bool command;
    char letter, type;
    std::string argument, oldName, newName;
  } cases[] = {
      {"\x1B"
       "D HP1\r\n",
       true, 'D', 'H', "P1", "", ""},
      {"\x1B"
       "D H\r\n",
       true, 'D', 'H', "", "", ""},
      {"\x1B"
       "D TSUB\\P1\r\n",
       true, 'D', 'T', "SUB\\P1", "", ""},
      {"\x1B"
       "N HOLD,HNEW\r\n",
       true, 'N', 'H', "OLD,HNEW", "OLD", "NEW"},
      {"\x1B"
       "N HOLD, NEW\r\n",
       true, 'N', 'H', "OLD, NEW", "OLD", "NEW"},
      {"\x1B"
       "F SUB\r\n",
       true, 'F', 0, "SUB", "", ""},
      {"\x1B"
       "P HX\r\n",
       true, 'P', 'H', "X", "", ""},
      {"\x1B"
       "D \r\n",
       true, 'D', 0, "", "", ""},
      {"\x1B"
       "X HP1\r\n",
       false, 0, 0, "", "", ""},
      {"\x1B"
       "D HP1\r\nX\r\n",
       false, 0, 0, "", "", ""},
      {"\x1B"
       "D HP1",
       false, 0, 0, "", "", ""},
      {"D HP1\r\n", false, 0, 0, "", "", ""},
      {"\x1B"
       "O D\r\n",
       false, 0, 0, "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsCommand(c.text), c.command) << c.text;
    if (!c.command) continue;
    const Command cmd = ParseCommand(c.text);
    EXPECT_EQ(cmd.letter, c.letter) << c.text;
    EXPECT_EQ(cmd.type, c.type) << c.text;
    EXPECT_EQ(cmd.argument, c.argument) << c.text;
    EXPECT_EQ(cmd.twoNames, !c.oldName.empty()) << c.text;
    EXPECT_EQ(cmd.oldName, c.oldName) << c.text;
    EXPECT_EQ(cmd.newName, c.newName) << c.text;
  }
  EXPECT_TRUE(IsListingRequest("\x1BO D\r\n"));
  EXPECT_TRUE(
      IsListingRequest("\x1B"
                       "0 D\r\n"))
      << "the digit, as published descriptions write it";
  EXPECT_FALSE(IsListingRequest("\x1BO D\r"));
  EXPECT_FALSE(IsListingRequest("\x1BO E\r\n"));
}

TEST(HeidenhainFramer, CommandsCollectedACharacterAtATime) {
  using O = CommandReader::Outcome;
  struct Case {
    std::string after;  // what follows the ESC
    O outcome;
    std::string text;
  } cases[] = {
      {"D HP1\r\n", O::Command,
       "\x1B"
       "D HP1\r\n"},
      {"O D\r\n", O::Listing, "\x1BO D\r\n"},
      {"0 D\r\n", O::Listing,
       "\x1B"
       "0 D\r\n"},
      // ETX, EOT and ESC start the text afresh; flow characters are no text.
      {"XY\x03Z\x1B"
       "F N\x11"
       "EW\r\n",
       O::Command,
       "\x1B"
       "F NEW\r\n"},
      {"D H\x01", O::Header,
       "\x1B"
       "D H"},
      {std::string(300, 'A'), O::Overlong, ""},
      {"Q HP1\r\n", O::Open, "\x1BQ HP1\r\n"},
  };
  for (const Case& c : cases) {
    CommandReader r;
    O o = O::Open;
    for (char ch : c.after) {
      o = r.Feed(ch);
      if (o != O::Open) break;
    }
    EXPECT_EQ(o, c.outcome) << c.after;
    if (!c.text.empty()) {
      EXPECT_EQ(r.Text(), c.text) << c.after;
    }
    if (o == O::Overlong) {
      EXPECT_EQ(r.Text().size(), CommandReader::kMaxText);
    }
  }
}

TEST(HeidenhainFramer, ExtensionForEveryTypeAndLength) {
  struct Case {
    char type, defaultExt;
    const char* ext;
    const char* result;
  } cases[] = {
      {'H', 'H', ".H", ".H"},     {'T', 'H', ".H", ".T"},       {'t', 'H', ".H", ".T"},
      {'%', 'H', ".H", ".D"},     {'T', 'H', ".", ".T"},        {'T', 'H', ".NC", ".TNC"},
      {'T', 'H', ".HNC", ".TNC"}, {'T', 'H', ".ABCD", ".TBCD"}, {'H', 'H', ".NC", ".NC"},
      {'I', 'I', ".PGM", ".PGM"}, {'H', 'I', ".PGM", ".HGM"},   {'/', 'H', ".H", ".H"},
      {'.', 'H', ".NC", ".NC"},   {'T', 'H', "", ".T"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExtForType(c.type, c.defaultExt, c.ext), c.result)
        << c.type << " " << c.defaultExt << " " << c.ext;
}

TEST(HeidenhainFramer, ListingMaskFollowsTheExtension) {
  EXPECT_EQ(ListingMask('H', ".H"), "*.?");
  EXPECT_EQ(ListingMask('H', ".HNC"), "*.?NC");
  EXPECT_EQ(ListingMask('H', ".NC"), "*.*NC");
  EXPECT_EQ(ListingMask('I', ".H"), "*.*H");
}

TEST(HeidenhainFramer, ProgramStartAndEndLines) {
  struct Case {
    const char* line;
    bool start, end, endFirst;
  } cases[] = {
      {"0 BEGIN PGM 1 MM", true, false, false},
      {"99 END PGM 1 MM", false, true, false},
      {"0 BEGIN TOOL", true, false, false},
      {"END TOOL", false, true, false},
      {"%PROG G71 *", true, true, false},
      {"N99999999 %PROG G71 *", true, true, false},
      {"5 TOOL CALL 1 Z S2000", false, false, false},
      {"END", false, false, false},
      {"%", false, false, false},
      {"G71", false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HasProgramStart(c.line), c.start) << c.line;
    EXPECT_EQ(IsProgramEnd(c.line, false), c.end) << c.line;
    EXPECT_EQ(IsProgramEnd(c.line, true), c.endFirst) << c.line << ": never the first line";
  }
  EXPECT_EQ(MaxBlockTries(false, true), 5);
  EXPECT_EQ(MaxBlockTries(true, true), 3600);
  EXPECT_EQ(MaxBlockTries(true, false), 5) << "a header is not measuring data";
}

}  // namespace
}  // namespace zova::heidenhain
