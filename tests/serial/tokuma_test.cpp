// The Okuma driver in process, over a loopback cable: a header the control
// does not take stops the send, and the control's print output is taken off
// the line even when the printer refuses it, without touching the program
// after it.

#include "serial/variants/tokuma.h"

#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "serial/device/loopback_device.h"
#include "serial/loopback_driver.h"
#include "support/test_support.h"

namespace zova {
namespace {

class Driver : public TOkuma {
 public:
  using TOkuma::OpenLine;
  using TOkuma::Receive;
  using TOkuma::Send;
  using TOkuma::TOkuma;
};

const std::string kProgram = "O1000 (AKSEL)\r\n(KUTT 50% MATING)\r\nG0 X1\r\nM30\r\n";
const std::string kPunched = "%\r\n" + kProgram + "%\r\n";

struct TOkumaTest : test::LoopbackDriverTest<Driver> {
  // Capacity: how many bytes the control takes before it holds the line.
  void Make(const std::string& program, const std::string& portKeys = "", size_t capacity = 65536) {
    Open("tokuma",
         "[Program]\nTemp=" + dir.Path() + "\n" + program +
             "\n[Maskin1]\nProtokoll=OKUMA\nPort=COM1\nStoppKode=%\nMaxNull=0\nKatalog=" + M() +
             "\n[COM1]\nEnhet=loop:tokuma\nKode=ASCII\n" + portKeys + "\n",
         capacity, 2);
  }
  // What the main loop does when the first character arrives.
  void ReceiveFed(bool& stored) {
    bool ok = false, errorReceipt = false;
    char ch = 0;
    d->ReadChar(d->Com, true, ok, ch);
    ASSERT_TRUE(ok);
    TCom::UnreadChar(d->Com, ch);
    d->ResetTransfer();
    d->Com.CharCount = 0;
    d->Receive(stored, errorReceipt);
  }
};

TEST_F(TOkumaTest, HeaderTheControlDoesNotTakeStopsTheSend) {
  Make("", "Break=1\n", 5);
  test::WriteFile(M() + "12.NC", kPunched);
  model.SetCell(kColFilnavn, 1, "12.NC");
  d->Send(false, false, false, false);
  EXPECT_EQ(Cell(kColMelding), "Feil med sending av filnavn");
  EXPECT_EQ(Cell(kColStatus), "Sending avbrutt") << "the row does not go on saying it sends";
  EXPECT_EQ(Drain(), "$P12.") << "nothing after the refused header character";
  EXPECT_EQ(d->SendCount, 0) << "the program itself never started";
}

TEST_F(TOkumaTest, PrintThePrinterRefusesIsStillTakenOffTheLine) {
  Make("Skriver=" + (dir / "mangler/printer.prn") + "\nMatrise=True\n");
  Feed("\x1B@HEADING\r\n%\r\nLINE 1\r\n\f" + kPunched);
  bool stored = true;
  ReceiveFed(stored);
  EXPECT_EQ(Cell(kColStatus), "Skriving avsluttet");
  EXPECT_EQ(Cell(kColMelding), "Skriveren tar ikke imot data");
  ReceiveFed(stored);
  EXPECT_TRUE(stored);
  EXPECT_EQ(Cell(kColStatus), "Data lagret");
  EXPECT_EQ(test::ReadFile(M() + "AKSEL.NC"), kProgram) << "the % of the comment is program text";
}

}  // namespace
}  // namespace zova
