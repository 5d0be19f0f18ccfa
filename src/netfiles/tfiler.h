#pragma once
// FILER: copies one file, or every file of a program directory, between the
// PC and a control's directory on the operator's send and fetch orders.

#include <string>

#include "core/driver/tlogg.h"
#include "netfiles/net_copy.h"

namespace zova {

class TFiler : public TLogg {
 public:
  TFiler(const UiLinks& links, MachineRequest& sharedRequest, int machineNo);

  // One cycle of the main loop without its pause: takes the orders, serves
  // them and hands back the result when something was done.
  void RunCycle();
  void SendToControl(const std::string& selection);
  void FetchFromControl(const std::string& selection);

  bool Filer = true;
  int Backupdirs = 0, Backupfiles = 0;
  std::string BackupKatalog;
  NetKeys Keys;
  CopyCycle Cycle;

 protected:
  void Execute() override;

 private:
  void CopyDirToControl(const std::string& selection);
  void CopyFileToControl(const std::string& selection);
  void CopyDirFromControl(const std::string& selection);
  void CopyFileFromControl(const std::string& selection);
};

}  // namespace zova
