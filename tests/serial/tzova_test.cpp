// The standard driver's receptions in process, over a loopback cable: the
// outcomes a pseudo-terminal test cannot reach cheaply (system files and the
// operator's question, a print request, a reception with a bad character).

#include "serial/standard/tzova.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/clock.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "serial/device/loopback_device.h"
#include "serial/loopback_driver.h"
#include "support/test_support.h"

namespace zova {
namespace {

class Driver : public TZova {
 public:
  using TZova::OpenLine;
  using TZova::Receive;
  using TZova::RunCycle;
  using TZova::Send;
  using TZova::TZova;
};

struct TZovaTest : test::LoopbackDriverTest<Driver> {
  TZovaTest() : LoopbackDriverTest(2) {}

  // Capacity: how many bytes the control's input holds before the station's
  // writes are held.
  void Make(const std::string& machineKeys, const std::string& portKeys = "",
            size_t capacity = 65536) {
    Open("tzova",
         "[Program]\nTemp=" + dir.Path() + "\nSkriver=" + (dir / "printer") +
             "\nMatrise=True\n[Maskin1]\nProtokoll=STANDARD\nPort=COM1\nKatalog=" + M() + "\n" +
             machineKeys + "\n[COM1]\nEnhet=loop:tzova\nKode=ASCII\n" + portKeys + "\n",
         capacity, 2);
  }
  // What the main loop does when the first character arrives.
  void ReceiveFed(bool& stored, bool& errorReceipt) {
    bool ok = false;
    char ch = 0;
    d->ReadChar(d->Com, true, ok, ch);
    ASSERT_TRUE(ok);
    TCom::UnreadChar(d->Com, ch);
    d->ResetTransfer();
    d->Receive(stored, errorReceipt);
  }
};

TEST_F(TZovaTest, SystemFileIsCutAndStoredWhenTheOperatorSaysYes) {
  Make("KuttSystemStart=2\nKuttSystemSlutt=3\n");
  const std::string body("\x00\x01payload\xFF\x1A\r\n", 13);
  Feed("HD" + body + "END");
  bool stored = false, errorReceipt = true;
  d->ReceiveSystemFile("PARAM.SPR", stored, errorReceipt);
  EXPECT_TRUE(stored);
  EXPECT_EQ(test::ReadFile(M() + "PARAM.SPR"), body) << "head and tail cut, the rest byte for byte";
  EXPECT_EQ(Cell(kColMelding), "Data lagret - PARAM.SPR");
  EXPECT_EQ(Cell(kColFilnavn), "0000.NC");
  EXPECT_FALSE(d->Com.Raw) << "the line leaves binary mode";
}

TEST_F(TZovaTest, SystemFileIsDroppedWhenTheOperatorSaysNoOrItIsTooShort) {
  Make("");
  ui.host.scriptedAnswers = {Answer::No};
  Feed("0123456789ABCDEF");
  bool stored = true, errorReceipt = true;
  d->ReceiveSystemFile("PARAM.SPR", stored, errorReceipt);
  EXPECT_FALSE(stored);
  EXPECT_EQ(Cell(kColMelding), "Data forkastet");
  EXPECT_FALSE(test::Exists(M() + "PARAM.SPR"));

  Feed("short");
  d->Com.CharCount = 0;  // as every cycle of the main loop starts
  d->ReceiveSystemFile("PARAM.SPR", stored, errorReceipt);
  EXPECT_EQ(Cell(kColMelding), "Data forkastet") << "fewer than ten bytes are not asked about";
  EXPECT_FALSE(test::Exists(M() + "PARAM.SPR"));
}

TEST_F(TZovaTest, PrintRequestGoesToThePrinter) {
  Make("");
  Feed("%\r\n(P)(O1000)\r\nG0 X1\r\n");
  bool stored = true, errorReceipt = true;
  ReceiveFed(stored, errorReceipt);
  EXPECT_FALSE(stored);
  EXPECT_FALSE(errorReceipt);
  EXPECT_EQ(Cell(kColMelding), "Utskrift av O1000 ferdig");
  std::string printed = test::ReadFile(dir / "printer");
  EXPECT_NE(printed.find("     O1000****"), std::string::npos) << printed;
  EXPECT_NE(printed.find("     G0 X1"), std::string::npos) << printed;
}

TEST_F(TZovaTest, InvalidCharacterStoresTheProgramAsGal) {
  Make("StoppKode=%\n", "StoppTid=1\n");
  Feed("%\r\nO1234 (BRAKETT)\r\nG0 X1 ~\r\nG1 X2 F50\r\nG1 Y2\r\nG1 X1\r\nG0 Z50\r\nM30\r\n%\r\n");
  bool stored = false, errorReceipt = false;
  ReceiveFed(stored, errorReceipt);
  EXPECT_TRUE(stored);
  EXPECT_TRUE(errorReceipt) << "the control is told the program is not good";
  EXPECT_EQ(Cell(kColMelding), "Lagret som .GAL-fil");
  EXPECT_TRUE(test::Exists(M() + "BRAKETT.Gal"));
  EXPECT_FALSE(test::Exists(M() + "BRAKETT.NC")) << "a faulty program never takes the real name";
}

TEST_F(TZovaTest, EndSequenceEndsTheReceptionAndIsNotStored) {
  Make("StoppTegn=[EOT]\n");
  const std::string program =
      "%\r\nO1234 (BRAKETT)\r\nG0 X1\r\nG1 X2 F50\r\nG1 Y2\r\nG1 X1\r\nG0 Z50\r\nM30\r\n";
  Feed(program + "\x04" + "G1\r\n");
  bool stored = false, errorReceipt = true;
  ReceiveFed(stored, errorReceipt);
  EXPECT_TRUE(stored);
  EXPECT_EQ(test::ReadFile(M() + "BRAKETT.NC"), program);
  bool ok = false;
  char ch = 0;
  d->ReadChar(d->Com, false, ok, ch);
  EXPECT_TRUE(ok && ch == 'G') << "what follows the end sequence is the next reception";
}

TEST_F(TZovaTest, ControlThatStopsWithinTheLastFiveCharactersHasItsProgram) {
  const std::string program = "%\r\nO1000\r\nG0 X1\r\nG1 X2\r\nM30\r\n%\r\n";
  // Room: what the control takes before it holds the line. The refused
  // character and five more may be missing; a fast send reads the whole
  // block before it writes, which must not count as sent.
  // A hardware-handshake line sends one character at a time (the DSR hold is
  // done by hand); an XON/XOFF line sends runs.
  const char* xon = "XonXoff=True\n";
  struct Case {
    size_t room;
    const char* keys;
    const char* port;
    const char* status;
  } cases[] = {
      {program.size() - 3, "", "", "Fil sendt"},
      {program.size() - 6, "", "", "Fil sendt"},
      {program.size() - 7, "", "", "Sending avbrutt"},
      {program.size() - 12, "", "", "Sending avbrutt"},
      {program.size() - 6, "", xon, "Fil sendt"},
      {program.size() - 7, "", xon, "Sending avbrutt"},
      // Once the stop code is out the control has its program; before, not.
      {program.size() - 3, "StoppKode=M30\n", xon, "Fil sendt"},
      {10, "StoppKode=M30\n", xon, "Sending avbrutt"},
      {program.size() - 6, "Hurtig=True\n", xon, "Fil sendt"},
      {program.size() - 7, "Hurtig=True\n", xon, "Sending avbrutt"},
      {program.size() - 12, "Hurtig=True\n", "", "Sending avbrutt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.room) + " " + c.keys + c.port);
    d.reset();
    ini.reset();
    Make(std::string("MaxNull=0\nVenteTid=0\n") + c.keys, std::string("Break=1\n") + c.port,
         c.room);
    test::WriteFile(M() + "O1000.NC", program);
    model.SetCell(kColFilnavn, 1, "O1000.NC");
    d->Send(false, false, false, false);
    EXPECT_EQ(Cell(kColStatus), c.status);
  }
  EXPECT_EQ(Cell(kColMelding), "Klarer ikke \xE5 sende ut tegn");
}

TEST_F(TZovaTest, SendThatCannotOpenItsFileSaysWhichAndNeverThatItStarted) {
  // Melding before the send holds the handshake's word; it must not come back.
  struct Case {
    const char* name;  // the Filnavn cell
    bool emptyFile;
    const char* last;  // Melding when the send has ended; empty: the open failure
  } cases[] = {
      {"O9999.NC", false, ""},
      {"MANGLER/O9999.NC", false, "Katalog eksisterer ikke: "},
      {"TOM.NC", true, "Filen er tom"},
  };
  Make("MaxNull=0\nVenteTid=0\n", "XonXoff=True\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.emptyFile) test::WriteFile(M() + c.name, "");
    model.SetCell(kColFilnavn, 1, c.name);
    model.SetCell(kColMelding, 1, "Sending startet");
    d->Send(false, false, false, false);
    EXPECT_EQ(Cell(kColStatus), "Sending feilet");
    const std::string melding = Cell(kColMelding);
    if (*c.last)
      EXPECT_EQ(melding.rfind(c.last, 0), 0u) << melding;
    else
      EXPECT_EQ(melding, "Umulig \xE5 \xE5pne filen " + UpperCase(M() + c.name));
    EXPECT_EQ(Drain(), "") << "nothing goes out";
  }
}

// A control that takes Room bytes and then holds the line; writes give up
// at once instead of waiting out their time, and every read's wait is kept.
class HoldingDevice : public SerialDevice {
 public:
  explicit HoldingDevice(size_t room) : room_(room) {}
  std::vector<int> readWaits;
  bool Configure(const LineSettings&, int&) override { return true; }
  IoResult Write(const uint8_t*, size_t len, int) override {
    IoResult r;
    r.count = std::min(len, room_);
    room_ -= r.count;
    r.timedOut = r.count < len;
    return r;
  }
  std::optional<ModemStatus> GetModemStatus() override { return ModemStatus{}; }
  bool SetDtr(bool) override { return true; }
  bool SetRts(bool) override { return true; }
  bool SetBreak(bool) override { return true; }
  bool ResumeOutput() override { return true; }
  std::optional<LineErrorCounts> GetLineErrors() override { return std::nullopt; }
  std::string Name() const override { return "holding"; }

 protected:
  IoResult ReadSome(uint8_t*, size_t, int timeoutMs) override {
    readWaits.push_back(timeoutMs);
    IoResult r;
    r.timedOut = true;
    return r;
  }
  bool PurgeDevice(bool, bool) override { return true; }

 private:
  size_t room_;
};

TEST_F(TZovaTest, BlockwiseFastSendReadsTheControlsAnswersWithoutWaiting) {
  std::string program = "%\r\nO1000\r\n";
  while (program.size() < 3000) program += "G1 X1 Y1\r\n";
  program += "M30\r\n%\r\n";
  Make("MaxNull=0\nVenteTid=0\nHurtig=True\n", "Blokkvis=True\n");
  d->Com.TimeMultiplier = 1000;
  auto device = std::make_unique<HoldingDevice>(1500);
  HoldingDevice& line = *device;
  d->Com.Handle = std::move(device);
  test::WriteFile(M() + "O1000.NC", program);
  model.SetCell(kColFilnavn, 1, "O1000.NC");
  d->Send(false, false, false, false);
  EXPECT_EQ(Cell(kColStatus), "Sending avbrutt");
  ASSERT_FALSE(line.readWaits.empty()) << "the held block asks the control for its answer";
  for (int wait : line.readWaits) EXPECT_EQ(wait, 0);
  // Afterwards the line's reads wait as configured again.
  line.readWaits.clear();
  bool ok = true;
  char ch = 0;
  d->ReadChar(d->Com, true, ok, ch);
  ASSERT_EQ(line.readWaits.size(), 1u);
  EXPECT_EQ(line.readWaits[0], 1000);
}

TEST_F(TZovaTest, OperatorOrdersSendTheFileInTheCellOrAreCancelled) {
  const std::string program = "%\r\nO1000\r\nG0 X1\r\nM30\r\n%\r\n";
  struct Case {
    const char* name;
    bool cancel;
    const char* status;
  } cases[] = {{"a send order", false, "Fil sendt"}, {"a send order and a cancel", true, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    d.reset();
    ini.reset();
    model.SetCell(kColStatus, 1, "");
    Make("MaxNull=0\nVenteTid=0\n", "XonXoff=True\n");
    test::WriteFile(M() + "O1000.NC", program);
    model.SetCell(kColFilnavn, 1, "O1000.NC");
    model.Request(1).Send = true;
    model.Request(1).Flag3 = c.cancel;
    int receipt = 0;
    d->RunCycle(receipt);
    EXPECT_EQ(Cell(kColStatus), c.status);
    EXPECT_EQ(Drain(), c.cancel ? "" : program);
    EXPECT_FALSE(model.Request(1).Send) << "an order is taken once";
  }
}

TEST_F(TZovaTest, PreemptRuleReceivesWhatAControlSendsWithItsStartSignal) {
  // The control raises its line and starts sending at once: with the
  // pre-empt rule the station listens first and takes the program; without
  // it the raised line is a request and the station sends.
  const std::string program =
      "%\r\n(O1234)\r\nG0 X1\r\nG1 X2 F50\r\nG1 Y2\r\nG1 X1\r\nG0 Z50\r\nM30\r\n%\r\n";
  for (bool preempt : {true, false}) {
    SCOPED_TRACE(preempt ? "pre-empt" : "no pre-empt");
    d.reset();
    ini.reset();
    Make("MaxNull=0\nVenteTid=0\nStoppKode=%\n",
         std::string("RtsCts=True\nDtrDsr=False\n") + (preempt ? "SendDelay=True\n" : ""));
    ASSERT_EQ(d->PreemptRule, preempt);
    std::filesystem::remove(M() + "O1234.NC");
    test::WriteFile(M() + "O1000.NC", "%\r\nO1000\r\nM30\r\n%\r\n");
    model.SetCell(kColFilnavn, 1, "O1000.NC");
    int receipt = 0;
    control->SetRts(false);
    d->RunCycle(receipt);  // a quiet turn with the control's line down
    control->SetRts(true);
    Feed(program);
    d->RunCycle(receipt);
    EXPECT_EQ(test::Exists(M() + "O1234.NC"), preempt) << Cell(kColStatus);
    const std::string sent = Drain();
    EXPECT_EQ(sent.find("O1000") != std::string::npos, !preempt) << sent;
    // Either way the control's program is not lost: the next turn takes it.
    d->RunCycle(receipt);
    EXPECT_TRUE(test::Exists(M() + "O1234.NC"));
    control->SetRts(false);
  }
}

}  // namespace
}  // namespace zova
