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

  // Makes every machine of Ini speak Keyword instead of STANDARD.
  void UseProtocol(const std::string& ini, const std::string& keyword);
  // A [Program] line that gives the station a web port of its own, so that
  // `zova ctl` reaches it and not another test's station on the default one.
  static std::string OwnWebPort();

  // Starts machine N's control with its commands (each a cncsim command
  // line) and waits until its pseudo-terminal exists. Kind picks the
  // simulated control (cncsim --control).
  std::unique_ptr<Process> Control(int n, const std::vector<std::string>& commands,
                                   const std::string& kind = "standard");
  std::unique_ptr<Process> Station(const std::string& ini);

  // Runs `zova ctl INI words...`: its exit code; Out gets its standard
  // output lines and Err its standard error when given.
  int RunCtl(const std::string& ini, const std::vector<std::string>& words,
             std::string* out = nullptr, std::string* err = nullptr);
  // Waits for a line of P with Text; a failure lists what P printed.
  std::string Expect(Process& p, const std::string& text, int timeoutMs = 30000);
  // Stops the station as a service manager does and checks it ends cleanly.
  void Stop(Process& station);
};

}  // namespace zova::test
