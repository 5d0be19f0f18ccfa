// The Heidenhain driver in process, over a loopback cable whose control end
// has everything the control will say written in advance: what the station
// answers, byte for byte, and what it stores.

#include "protocols/heidenhain/theidenhain.h"

#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "files/storage/safe_file.h"
#include "serial/device/loopback_device.h"
#include "serial/loopback_driver.h"
#include "support/test_support.h"

namespace zova {
namespace {

class Driver : public THeidenHain {
 public:
  using THeidenHain::OpenLine;
  using THeidenHain::Receive;
  using THeidenHain::Send;
  using THeidenHain::THeidenHain;
};

constexpr char kSoh = 1, kStx = 2, kEtx = 3, kEot = 4, kAck = 6, kNak = 21, kEtb = 23;

// The control's side of a block, from the wire rule: the check of lead,
// text and ETB, a blank added or removed when it would be below 32.
std::string Block(char lead, std::string text) {
  auto check = [&] {
    uint8_t x = static_cast<uint8_t>(lead ^ kEtb);
    for (char c : text) x ^= static_cast<uint8_t>(c);
    return x;
  };
  if (check() < 32) {
    if (!text.empty() && text.back() == ' ')
      text.pop_back();
    else
      text += ' ';
  }
  return std::string(1, lead) + text + kEtb + static_cast<char>(check());
}
std::string Data(const std::string& line) {
  return Block(kStx, line);
}
std::string Header(const std::string& text) {
  return Block(kSoh, text);
}
std::string Times(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}
std::string Bad(const std::string& block) {
  std::string b = block;
  b.back() = static_cast<char>(b.back() ^ 0x40);
  return b;
}

const std::vector<std::string> kLines = {"0 BEGIN PGM P1 MM", "1 L X+10 R0 FMAX",
                                         "2 END PGM P1 MM"};
const std::string kProgram = "0 BEGIN PGM P1 MM\r\n1 L X+10 R0 FMAX\r\n2 END PGM P1 MM\r\n";

struct THeidenHainTest : test::LoopbackDriverTest<Driver> {
  int lines = 0;
  void Make(const std::string& keys = "", const std::string& portKeys = "") {
    const std::string name = "theidenhain" + std::to_string(++lines);
    Open(name,
         "[Program]\nTemp=" + dir.Path() +
             "\n[Maskin1]\nProtokoll=HEIDENHAIN\nPort=COM1\nExt=.H\nKatalog=" + M() + "\n" + keys +
             "\n[COM1]\nEnhet=loop:" + name + "\nKode=ASCII\n" + portKeys + "\n",
         1 << 20, 5);
  }
  // What the main loop does with the first character.
  void Serve() {
    bool ok = false, stored = false, errorReceipt = false;
    char ch = 0;
    d->ReadChar(d->Com, true, ok, ch);
    ASSERT_TRUE(ok);
    TCom::UnreadChar(d->Com, ch);
    d->ResetTransfer();
    d->Receive(stored, errorReceipt);
  }
  std::string Store(const std::string& header, const std::string& blocks) {
    Feed(Header(header) + blocks);
    Serve();
    return Drain();
  }
};

TEST_F(THeidenHainTest, StoredProgramIsAcknowledgedBlockByBlock) {
  Make();
  std::string blocks;
  for (const auto& l : kLines) blocks += Data(l);
  EXPECT_EQ(Store("HP1A", blocks + kEtx + kEot), std::string(4, kAck));
  EXPECT_EQ(test::ReadFile(M() + "P1.H"), kProgram);
  EXPECT_EQ(Cell(kColMelding), "Program lagret");
}

TEST_F(THeidenHainTest, MeldingTellsTheControlOnlyAfterTheStore) {
  Make("Melding=True\n");
  Feed(Header("HP1A") + Data(kLines[0]) + kEtx + kEot + kAck);
  Serve();
  EXPECT_EQ(Drain(), std::string(2, kAck) + Data("FIL LAGRET"));
  EXPECT_EQ(test::ReadFile(M() + "P1.H"), kLines[0] + "\r\n");
}

TEST_F(THeidenHainTest, WrongChecksAreRefusedFiveTimesThenTheProgramIsDropped) {
  struct Case {
    const char* keys;
    int bad;
    bool stored;
  } cases[] = {{"", 4, true}, {"", 5, false}, {"Maaling=True\n", 6, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keys) + std::to_string(c.bad));
    Make(c.keys);
    RemoveFile(M() + "P1.H");
    const std::string good = c.stored ? Data(kLines[0]) + kEtx + kEot : "";
    const std::string answers = Store("HP1A", Times(Bad(Data(kLines[0])), c.bad) + good);
    EXPECT_EQ(answers, kAck + Times(std::string(1, kNak), c.bad) + (c.stored ? "\x06" : ""));
    EXPECT_EQ(FileExists(M() + "P1.H"), c.stored);
    if (!c.stored) {
      EXPECT_EQ(Cell(kColMelding), "Program forkastet");
    }
  }
}

TEST_F(THeidenHainTest, ProgramWithoutItsEndIsNotStoredUnderItsName) {
  Make();
  test::WriteFile(M() + "P1.H", "OLD\r\n");
  Store("HP1A", Data(kLines[0]) + Data(kLines[1]).substr(0, 5));
  EXPECT_EQ(Cell(kColMelding), "Program forkastet");
  EXPECT_EQ(test::ReadFile(M() + "P1.H"), "OLD\r\n");
}

TEST_F(THeidenHainTest, ReadProgramGoesOutBlockByBlockAndEnds) {
  Make();
  test::WriteFile(M() + "P1.H", kProgram);
  const std::string answers = Store("HP1E", Times(std::string(1, kAck), 3) + kEot);
  std::string expected(1, kAck);
  for (const auto& l : kLines) expected += Data(l);
  EXPECT_EQ(answers, expected + kEtx);
  EXPECT_EQ(Cell(kColStatus), "Fil sendt");
}

TEST_F(THeidenHainTest, MissingProgramIsAnsweredWithTheEnd) {
  Make();
  EXPECT_EQ(Store("HP9E", std::string(1, kEot)), std::string(1, kAck) + kEtx);
  EXPECT_EQ(Cell(kColStatus), "Sending feilet");
  EXPECT_EQ(Cell(kColMelding), "Umulig \xE5 \xE5pne filen P9.H");
}

TEST_F(THeidenHainTest, NamesOutsideTheMachineAreRefused) {
  Make();
  test::WriteFile(dir / "secret.H", "SECRET\r\n");
  EXPECT_EQ(Store("H..\\SECRETE", std::string(1, kEot)), std::string(1, kAck) + kEtx);
  EXPECT_EQ(Cell(kColMelding), "Ulovlig katalog i filnavn: ..\\SECRET.H");
  Feed(
      "\x1B"
      "D H..\\SECRET\r\n");
  Serve();
  EXPECT_EQ(Drain(), std::string(1, kEtx));
  EXPECT_TRUE(FileExists(dir / "secret.H"));
}

TEST_F(THeidenHainTest, StartSjekkWantsTheProgramNameEarly) {
  Make();
  test::WriteFile(M() + "P1.H", "; NO NAME\r\n" + kProgram);
  std::string expected(1, kAck);
  for (const auto& l : kLines) expected += Data(l);
  EXPECT_EQ(Store("HP1E", Times(std::string(1, kAck), 3) + kEot), expected + kEtx)
      << "the lines before the name are not sent";
  std::string p2;
  for (int i = 0; i < 30; ++i) p2 += "L X+" + std::to_string(i) + "\r\n";
  test::WriteFile(M() + "P2.H", p2 + kProgram);
  EXPECT_EQ(Store("HP2E", std::string(1, kEot)), std::string(1, kAck) + kEtx);
  EXPECT_EQ(Cell(kColMelding), "StartSjekk: Programnavn mangler i filen");
}

TEST_F(THeidenHainTest, EndSjekkTakesTheLastLineForTheEnd) {
  Make("EndSjekk=True\n");
  std::string blocks;
  for (const auto& l : kLines) blocks += Data(l);
  Store("HP1A", blocks);
  EXPECT_EQ(test::ReadFile(M() + "P1.H"), kProgram) << "no ETX came, but the last line did";
}

TEST_F(THeidenHainTest, ProgramZeroIsNamedFromTheCellForTools) {
  Make("ToolProtokoll=HEIDENHAIN\n");
  model.SetCell(kColFilnavn, 1, "P7.H");
  d->FileType = 'H';
  d->SetNameFromNc(" 0");
  EXPECT_EQ(d->TransferName, "P7.H");
  EXPECT_TRUE(d->ZeroNamed);
  EXPECT_TRUE(d->ToolTransfer());
  d->FileType = 'T';
  d->SetNameFromNc("TOOL");
  EXPECT_EQ(d->TransferName, "TOOL.T");
  EXPECT_TRUE(d->ToolTransfer());
  Make();
  d->SetNameFromNc("0");
  EXPECT_EQ(d->TransferName, "0.H") << "without tool data the name stays";
  EXPECT_FALSE(d->ToolTransfer());
}

TEST_F(THeidenHainTest, OtherHeadersAreReported) {
  Make();
  EXPECT_EQ(Store("HP1X", ""), std::string(1, kAck));
  EXPECT_EQ(Cell(kColMelding), "Feiltelegram: [SOH]HP1X");
}

TEST_F(THeidenHainTest, OperatorSendsFollowTheModeAndTheHandshake) {
  Make("Melding=True\n", "HandShake=False\n");
  Feed(std::string(1, kAck));
  d->Send(false, false, false, false);
  const std::string reset{kAck, kEtx, kEot};
  EXPECT_EQ(Drain(), reset + Data("CNC RESATT"));
  Make();
  test::WriteFile(M() + "P1.H", kProgram);
  model.SetCell(kColFilnavn, 1, "P1.H");
  d->Send(false, false, false, false);
  EXPECT_EQ(Drain(), "");
  EXPECT_EQ(Cell(kColMelding), "Sending blokkert (ME-modus)");
  EXPECT_TRUE(d->Com.RemoteWasReady);
}

}  // namespace
}  // namespace zova
