#pragma once
// An LSV2 driver on a loopback cable whose other end plays the control:
// the control's bytes are queued before the driver reads them (the driver
// reads one step at a time, so a whole dialogue can be queued), and what
// the driver wrote is read back. The frames are written out here from the
// wire description, not taken from the station's framer.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/clock.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "serial/device/loopback_device.h"
#include "support/test_support.h"

namespace zova::test {

inline const std::string kEnq = "\x05";
inline const std::string kEot = "\x04";
// The control takes the station's telegram: DLE "0" to its ENQ, DLE "1" to
// its frame.
inline const std::string kTakes =
    "\x10"
    "0\x10"
    "1";

// DLE STX Text DLE ETX and the exclusive OR of Text and ETX.
inline std::string Frame(const std::string& text) {
  char bcc = 0x03;
  for (char c : text) bcc = static_cast<char>(bcc ^ c);
  return "\x10\x02" + text + "\x10\x03" + bcc;
}
// A telegram the control starts: ENQ, the frame, EOT.
inline std::string FromControl(const std::string& text) {
  return kEnq + Frame(text) + kEot;
}
// What the station writes for a telegram it sends.
inline std::string FromStation(const std::string& text) {
  return kEnq + Frame(text) + kEot;
}

template <typename Driver>
struct Lsv2DriverFixture : ::testing::Test {
  StationModel model{1};
  UiLinks links;
  ScopedUiHost ui;
  ManualClock clock;
  ScopedClock scoped{clock};
  TempDir dir;
  std::unique_ptr<ScopedIni> ini;
  std::unique_ptr<Driver> d;
  std::unique_ptr<LoopbackDevice> control;

  Lsv2DriverFixture() { links.model = &model; }
  std::string M() const { return dir / "M1/"; }

  void Open(const std::string& machineKeys = "", const std::string& portKeys = "",
            const std::string& program = "") {
    d.reset();
    ini.reset();
    LoopbackPair pair("lsv2drv", 1 << 20);
    control = std::move(pair.b);
    ParkLoopbackEnd("lsv2drv", std::move(pair.a));
    ForceDirectories(M());
    ini = std::make_unique<ScopedIni>("[Program]\nTemp=" + dir.Path() + "\n" + program +
                                      "\n[Maskin1]\nPort=COM1\nKatalog=" + M() + "\n" +
                                      machineKeys + "\n[COM1]\nEnhet=loop:lsv2drv\n" +
                                      "TimeMultiplier=50\nKode=ASCII\n" + portKeys);
    d = std::make_unique<Driver>(links, model.Request(1), 1);
    d->OpenLine();
    ASSERT_TRUE(d->PortOpen);
  }
  void Control(const std::string& bytes) {
    control->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 100);
  }
  // What the driver wrote, once the line is quiet.
  std::string Written() {
    std::string out;
    uint8_t buf[4096];
    for (;;) {
      const IoResult r = control->Read(buf, sizeof buf, 50);
      if (r.count == 0) return out;
      out.append(reinterpret_cast<const char*>(buf), r.count);
    }
  }
  std::string Cell(int col) { return model.Cell(col, 1); }
};

}  // namespace zova::test
