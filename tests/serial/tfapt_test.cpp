// The FAPT driver in process over a loopback cable: what a control that
// stops taking bytes leaves a send, and the operator's name for a reception.

#include "serial/variants/tfapt.h"

#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "serial/device/loopback_device.h"
#include "serial/loopback_driver.h"
#include "support/test_support.h"

namespace zova {
namespace {

class Driver : public TFapt {
 public:
  using TFapt::OpenLine;
  using TFapt::Receive;
  using TFapt::Send;
  using TFapt::TFapt;
};

struct TFaptTest : test::LoopbackDriverTest<Driver> {
  TFaptTest() : LoopbackDriverTest(2) {}

  // Room: what the control takes before it holds the line.
  void Make(const std::string& machineKeys, size_t room = 65536) {
    Open("tfapt",
         "[Program]\nTemp=" + dir.Path() + "\n[Maskin1]\nProtokoll=FAPT\nPort=COM1\nKatalog=" +
             M() + "\n" + machineKeys + "\n[COM1]\nEnhet=loop:tfapt\nKode=ASCII\nBreak=1\n",
         room, 2);
  }
};

TEST_F(TFaptTest, SendIsWholeWhenTheControlLeftOnlyTheTrailingNulBlock) {
  const std::string data(40, 'D');
  // With Test the image is DC2 SOH + a block + BS + 63 NULs: 129 bytes.
  const std::string image = "\x12\x01" + data + std::string(23, '\0') + "\x08";
  const std::string plain(100, 'P');
  struct Case {
    const char* keys;
    std::string file;
    size_t room;
    const char* status;
  } cases[] = {
      {"Test=True\n", data, 66, "Fil sendt"},
      {"Test=True\n", data, 65, "Sending avbrutt"},  // the BS did not go
      {"", image + std::string(63, '\0'), 66, "Fil sendt"},
      // Data the control never took are no padding, however few.
      {"", plain, 90, "Sending avbrutt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keys) + std::to_string(c.room));
    Make(c.keys, c.room);
    test::WriteFile(M() + "PART.FPT", c.file);
    model.SetCell(kColFilnavn, 1, "PART.FPT");
    d->Send(false, false, false, false);
    EXPECT_EQ(Cell(kColStatus), c.status);
    EXPECT_EQ(Cell(kColFilnavn), "PART.FPT") << "the chosen file stays the transfer's name";
    EXPECT_FALSE(d->Com.Raw);
  }
}

TEST_F(TFaptTest, StatusNavnTakesTheOperatorsFptName) {
  const std::string block = "MLL>MLL=O1 " + std::string(52, 'x');
  struct Case {
    const char* keys;
    const char* cell;
    const char* stored;
  } cases[] = {
      {"StatusNavn=True\n", "P1.FPT", "P1.FPT"},
      {"StatusNavn=True\n", "P1.NC", "0000.FPT"},  // not a FAPT name: not the operator's
      {"", "P1.FPT", "O1.FPT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keys) + c.cell);
    Make(c.keys);
    model.SetCell(kColFilnavn, 1, c.cell);
    const std::string wire = "\x01" + block + "\x08";
    control->Write(reinterpret_cast<const uint8_t*>(wire.data()), wire.size(), 100);
    bool stored = false, errorReceipt = true;
    d->Receive(stored, errorReceipt);
    EXPECT_TRUE(stored);
    EXPECT_FALSE(errorReceipt);
    EXPECT_EQ(Cell(kColMelding), "Data lagret");
    EXPECT_EQ(test::ReadFile(M() + c.stored), block);
  }
}

}  // namespace
}  // namespace zova
