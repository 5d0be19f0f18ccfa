#pragma once
// WINTOOL: FILER's copies with program sets (P1 plus P1S<name> files on the
// PC, <name> on the control), the Mazak hard-disk layout, a delete order and
// the periodic collection of measurement files from the control.

#include <string>
#include <vector>

#include "core/driver/tlogg.h"
#include "netfiles/net_copy.h"
#include "netfiles/set_layout.h"

namespace zova {

class TWinTool : public TLogg {
 public:
  TWinTool(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  // One 500 ms cycle without its pause: the orders, then every
  // 2 * MaaleIntervall cycles the measurement files.
  void RunCycle();
  void SendProgramSet(const std::string& selection);
  void FetchProgramSet(const std::string& selection);
  void CopyFileToControl(const std::string& selection);
  void CopyFileFromControl(const std::string& selection);
  void DeleteOnControl(const std::string& selection);
  void CollectMeasurements();

  bool Mazak = false, Filer = false, Slett = false;
  char Separator = 'S';
  int Backupfiles = 0, MaaleIntervall = 120;
  std::string BackupKatalog, CNCMaaleKatalog, PCMaaleKatalog;
  NetKeys Keys;
  CopyCycle Cycle;

 protected:
  void Execute() override;

 private:
  void ServeOrders();
  std::string ControlDirFor(const std::string& selection) const;
  CopyPair ToControl(const std::string& pcDir, const std::string& ctl, const std::string& pcName,
                     const std::string& controlName) const;
  int cycles_ = 0;
};

}  // namespace zova
