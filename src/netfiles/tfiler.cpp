#include "netfiles/tfiler.h"

#include "core/config/config.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "netfiles/file_ops.h"

namespace zova {

TFiler::TFiler(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TLogg(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  Keys.Read(s, "", true);
  Filer = ReadIniBool(s, "Filer", true);
  Backupdirs = ReadIniInt(s, "Backupdirs", 0);
  Backupfiles = ReadIniInt(s, "Backupfiles", 0);
  BackupKatalog = ReadIniUpper(s, "BackupKatalog", "");
  SetCellDirect(kColFilnavn, "0000");
}

void TFiler::Execute() {
  ServeCommands(*this, [this] { RunCycle(); });
}

void TFiler::RunCycle() {
  SyncFetchRequest();
  Cycle.Reset();
  if (Request.Send) SendToControl(Selection(*this));
  if (Request.Fetch) FetchFromControl(Selection(*this));
  if (Cycle.count == 0 && Cycle.error.empty()) return;
  PutSharedText(TransferMessage(Cycle));
  Request.ResultState = Cycle.error.empty() ? 1 : 0;
  SyncStoreResult();
}

void TFiler::SendToControl(const std::string& selection) {
  ReportCellWait(kColStatus, "Skal sende");
  bool connected = ConnectFor(*this, Keys.net, "Pålogget for sending", "Sending, pålogging feilet");
  if (Filer)
    CopyFileToControl(selection);
  else
    CopyDirToControl(selection);
  if (connected) Keys.net.Disconnect();
}

void TFiler::FetchFromControl(const std::string& selection) {
  ReportCellWait(kColStatus, "Skal hente");
  bool connected = ConnectFor(*this, Keys.net, "Pålogget for henting", "Henting, pålogging feilet");
  if (Filer)
    CopyFileFromControl(selection);
  else
    CopyDirFromControl(selection);
  if (connected) Keys.net.Disconnect();
}

void TFiler::CopyDirToControl(const std::string& selection) {
  ReportCellWait(kColStatus, "Kopierer til CNC");
  ReportCellWait(kColMelding, "");
  std::string src = WithTrailingSep(JoinPath(Keys.katalog, selection));
  std::string dst = ControlDir(Keys.cncKatalog, Keys.cncUnder, selection);
  if (!DirExists(src)) return FailCopy(*this, Cycle, "Katalog eksisterer ikke: " + src);
  if (!ForceDirectories(dst))
    return FailCopy(*this, Cycle, "CNC-katalog kan ikke opprettes: " + dst);
  std::vector<CopyPair> pairs;
  for (const std::string& name : RegularFiles(src))
    pairs.push_back({JoinPath(src, name), JoinPath(dst, name), name});
  CopyFiles(*this, Cycle, pairs);
  ReportDirCopyEnd(*this, Cycle, src, "Kopiert til CNC", "Kopiering til CNC feilet");
}

void TFiler::CopyFileToControl(const std::string& selection) {
  ReportCellWait(kColStatus, "Kopierer til CNC");
  std::string src = JoinOrAbsolute(Keys.katalog, WithDefaultExt(selection, Ext));
  std::string dst = ControlDir(Keys.cncKatalog, Keys.cncUnder, FileNameOf(selection));
  CopyFiles(*this, Cycle, {{src, JoinPath(dst, FileNameOf(src)), FileNameOf(src)}});
  // A failed copy is not reported as done.
  ReportCellWait(kColStatus, Cycle.error.empty() ? "Kopiert til CNC" : "Kopiering til CNC feilet");
}

void TFiler::CopyDirFromControl(const std::string& selection) {
  ReportCellWait(kColStatus, "Kopierer fra CNC");
  ReportCellWait(kColMelding, "");
  std::string src = ControlDir(Keys.cncKatalog, Keys.cncUnder, selection);
  std::string dst = WithTrailingSep(JoinPath(Keys.katalog2, selection));
  if (!DirExists(src)) return FailCopy(*this, Cycle, "CNC-Katalog eksisterer ikke: " + src);
  bool existed = DirExists(dst);
  if (!ForceDirectories(dst)) return FailCopy(*this, Cycle, "Katalog kan ikke opprettes: " + dst);
  std::vector<CopyPair> pairs;
  for (const std::string& name : RegularFiles(src))
    pairs.push_back({JoinPath(src, name), JoinPath(dst, name), name});
  if (existed && Backupdirs >= 1 && !pairs.empty()) {
    ReportCellWait(kColMelding, "Tar backup");
    std::string error;
    // Without its backup the old directory is not overwritten.
    if (!RotateDirBackups(dst, Backupdirs, error)) return FailCopy(*this, Cycle, error);
  }
  CopyFiles(*this, Cycle, pairs);
  ReportDirCopyEnd(*this, Cycle, src, "Kopiert fra CNC", "Kopiering fra CNC feilet");
}

void TFiler::CopyFileFromControl(const std::string& selection) {
  ReportCellWait(kColStatus, "Kopierer fra CNC");
  std::string name = FileNameOf(WithDefaultExt(selection, Ext));
  std::string src =
      JoinPath(ControlDir(Keys.cncKatalog, Keys.cncUnder, FileNameOf(selection)), name);
  if (!FileExists(src)) return FailCopy(*this, Cycle, "Fil eksisterer ikke: " + src);
  std::string pc = JoinOrAbsolute(Keys.katalog2, WithDefaultExt(selection, Ext));
  std::string error;
  if (!BackupFile(pc, Backupfiles, BackupKatalog, error)) return FailCopy(*this, Cycle, error);
  CopyFiles(*this, Cycle, {{src, pc, name}});
  ReportCellWait(kColStatus, Cycle.error.empty() ? "Kopiert fra CNC" : "Kopiering fra CNC feilet");
}

}  // namespace zova
