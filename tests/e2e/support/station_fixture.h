#pragma once
// The real station, headless, with simulated controls on pseudo-terminals:
// each machine's port section names the link a cncsim makes to its end.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e/support/process.h"
#include "support/test_support.h"

namespace zova::test {

struct StationFixture : ::testing::Test {
  TempDir dir;
  std::vector<std::string> env;

  StationFixture();

  // Machine N's program directory.
  std::string MachineDir(int n) const { return dir / ("M" + std::to_string(n) + "/"); }
  // The link of machine N's control.
  std::string Link(int n) const { return dir / ("cnc" + std::to_string(n)); }

  // A Zova.ini with Machines STANDARD machines on COM1.. whose devices are
  // the controls' links; MachineKeys and PortKeys are added to every
  // machine's and port's section, Program to [Program].
  std::string WriteIni(int machines, const std::string& machineKeys,
                       const std::string& portKeys = "", const std::string& program = "");

  // Starts machine N's control with its commands (each a cncsim command
  // line) and waits until its pseudo-terminal exists.
  std::unique_ptr<Process> Control(int n, const std::vector<std::string>& commands);
  std::unique_ptr<Process> Station(const std::string& ini);
};

}  // namespace zova::test
