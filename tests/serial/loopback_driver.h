#pragma once
// A driver run in process on machine 1, its line a loopback cable whose other
// end the test plays as the control: what the drivers' in-process tests share.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "serial/device/loopback_device.h"
#include "support/test_support.h"

namespace zova::test {

template <class Driver>
struct LoopbackDriverTest : ::testing::Test {
  StationModel model;
  UiLinks links;
  ScopedUiHost ui;
  ManualClock clock;
  ScopedClock scoped{clock};
  TempDir dir;
  std::unique_ptr<ScopedIni> ini;
  std::unique_ptr<Driver> d;
  std::unique_ptr<LoopbackDevice> control;

  explicit LoopbackDriverTest(int machines = 1) : model(machines) { links.model = &model; }
  std::string M() const { return dir / "M1/"; }

  // Lays the cable Line (Capacity bytes each way before a writer is held),
  // makes IniText the configuration (its port names "Enhet=loop:" + Line)
  // and starts the driver on it. An earlier driver and configuration go
  // first.
  void Open(const std::string& line, const std::string& iniText, size_t capacity,
            int timeMultiplier) {
    d.reset();
    ini.reset();
    LoopbackPair pair(line, capacity);
    control = std::move(pair.b);
    ParkLoopbackEnd(line, std::move(pair.a));
    ForceDirectories(M());
    ini = std::make_unique<ScopedIni>(iniText);
    d = std::make_unique<Driver>(links, model.Request(1), 1);
    d->OpenLine();
    ASSERT_TRUE(d->PortOpen);
    // Quiet periods of a few milliseconds.
    d->Com.TimeMultiplier = timeMultiplier;
  }
  // The control sends.
  void Feed(std::string_view bytes) {
    control->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 100);
  }
  // What the station has put on the line so far.
  std::string Drain() {
    std::string out;
    uint8_t buf[256];
    for (IoResult r; (r = control->Read(buf, sizeof buf, 0)).count > 0;)
      out.append(reinterpret_cast<char*>(buf), r.count);
    return out;
  }
  std::string Cell(int col) { return model.Cell(col, 1); }
};

}  // namespace zova::test
