#pragma once
// KATTEMP: a control that reaches the station through two directories. It
// drops programs into UtvKatalog2, which the driver sorts into program
// directories named from the files' contents once the directory has settled;
// on a send order the driver puts a program directory's files into
// UtvKatalog for the control to pick up.

#include <string>
#include <vector>

#include "core/driver/tlogg.h"
#include "netfiles/drop_settle.h"
#include "netfiles/name_rules.h"
#include "netfiles/net_copy.h"

namespace zova {

class TKatTemp : public TLogg {
 public:
  TKatTemp(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  // One look into the drop directory: when it holds files, waits until it
  // has settled and imports them.
  void CheckDropDirectory();
  void ImportDropDirectory();
  // The send order: copies the selected program directory into UtvKatalog;
  // returns the transferred-file message.
  std::string PutProgram(const std::string& selection);
  // Takes the operator's orders and serves a send.
  void ServeRequests();
  // What the driver does when it stops.
  void Shutdown();
  // The demo's simulated control: drops a program every DemoFyll seconds.
  void DemoFill();

  std::string Katalog, UtvKatalog, UtvKatalog2, FeilKatalog;
  std::string FtpStartLagre, FtpStoppLagre, Prefiks;
  NameRule Rule = NameRule::Invalid;
  int Backupdirs = 0, SjekkTid = 10, VentTid = 5, DemoFyll = 0;
  CopyCycle Cycle;

 protected:
  void Execute() override;
  // Seams for tests: the sample of the drop directory and the read of a
  // file's first bytes (a file-system path).
  virtual DropSnapshot TakeDropSnapshot();
  virtual bool ReadHead(const std::string& path, std::string& data, std::string& error);

 private:
  NameResult NameOf(const std::string& fsDrop, const std::string& name);
  void PrepareTarget(const std::string& dir, std::vector<std::string>& targets);
  std::string ShownDir(const std::string& dir) const;
  int64_t nextDemoTick_ = 0;
  int demoCount_ = 0;
};

}  // namespace zova
