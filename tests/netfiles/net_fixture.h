#pragma once
// A machine of the network drivers on temporary directories: its Zova.ini,
// its row in a station model and a manual clock that starts at the real
// time, so file time stamps and the driver's clock agree.

#include <chrono>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/driver/tmsg.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "support/test_support.h"

namespace zova::test {

struct NetMachine {
  explicit NetMachine(const std::string& sectionBody)
      : ini("[Program]\nMaskiner=1\nTemp=" + dir.Path() + "\n[Maskin1]\n" + Subst(sectionBody)) {
    links.model = &model;
  }
  std::string Subst(std::string text) const {
    for (size_t p; (p = text.find("@D@")) != std::string::npos;) text.replace(p, 3, dir.Path());
    return text;
  }
  std::string Cell(int col) { return model.Cell(col, 1); }

  TempDir dir;
  ScopedIni ini;
  ManualClock clock{std::chrono::system_clock::now()};
  ScopedClock scopedClock{clock};
  ScopedUiHost ui;
  StationModel model{1};
  MachineRequest& request = model.Request(1);
  UiLinks links;
};

// Writes a file, creating its directory first.
inline void Put(const std::string& path, std::string_view data) {
  ForceDirectories(DirOf(path));
  WriteFile(path, data);
}

}  // namespace zova::test
