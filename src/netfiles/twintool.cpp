#include "netfiles/twintool.h"

#include "core/config/config.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "netfiles/file_ops.h"

namespace zova {

TWinTool::TWinTool(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TLogg(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  Keys.Read(s, "", false);
  Mazak = ReadIniBool(s, "Mazak", false);
  Filer = ReadIniBool(s, "Filer", false);
  Slett = ReadIniBool(s, "Slett", false);
  Separator = ReadIniChar(s, "Separator", 'S');
  Backupfiles = ReadIniInt(s, "Backupfiles", 0);
  BackupKatalog = ReadIniUpper(s, "BackupKatalog", "");
  CNCMaaleKatalog = ReadIniStr(s, "CNCMaaleKatalog", "");
  PCMaaleKatalog = ReadIniUpper(s, "PCMaaleKatalog", Keys.katalog);
  MaaleIntervall = ReadIniInt(s, "MaaleIntervall", 120);
  if (!Keys.net.user.empty() && Keys.net.share.empty()) {
    std::string share = WithTrailingSep(Keys.cncKatalog);
    while (!share.empty() && IsSep(share.back())) share.pop_back();
    Keys.net.share = share;
  }
  SetCellDirect(kColFilnavn, "0000");
}

void TWinTool::Execute() {
  ServeCommands(*this, [this] { RunCycle(); });
}

void TWinTool::RunCycle() {
  ServeOrders();
  if (++cycles_ >= 2 * MaaleIntervall) {
    cycles_ = 0;
    CollectMeasurements();
  }
}

void TWinTool::ServeOrders() {
  SyncFetchRequest();
  Cycle.Reset();
  if (Request.Send) {
    SetCharCount(false, 0);
    ReportCellWait(kColStatus, "Skal sende");
    bool c = ConnectFor(*this, Keys.net, "Pålogget for sending", "Sending, pålogging feilet");
    std::string sel = Selection(*this);
    if (Filer || IsAbsolutePath(sel))
      CopyFileToControl(sel);
    else
      SendProgramSet(sel);
    if (c) Keys.net.Disconnect();
  }
  if (Request.Fetch) {
    SetCharCount(false, 0);
    ReportCellWait(kColStatus, "Skal hente");
    bool c = ConnectFor(*this, Keys.net, "Pålogget for henting", "Henting, pålogging feilet");
    std::string sel = Selection(*this);
    if (Filer)
      CopyFileFromControl(sel);
    else
      FetchProgramSet(sel);
    if (c) Keys.net.Disconnect();
  }
  if (Request.Flag2) {
    SetCharCount(false, 0);
    DeleteOnControl(Selection(*this));
  }
  if (Cycle.count == 0 && Cycle.error.empty()) return;
  PutSharedText(TransferMessage(Cycle));
  Request.ResultState = Cycle.error.empty() ? 1 : 0;
  SyncStoreResult();
}

std::string TWinTool::ControlDirFor(const std::string& selection) const {
  return ControlDir(Keys.cncKatalog, Keys.cncUnder, StripExt(FileNameOf(selection)));
}

CopyPair TWinTool::ToControl(const std::string& pcDir, const std::string& ctl,
                             const std::string& pcName, const std::string& controlName) const {
  Placement p = PlaceOnControl(controlName, Mazak);
  return {JoinPath(pcDir, pcName), JoinPath(ctl + p.subdir, p.name), pcName};
}

void TWinTool::SendProgramSet(const std::string& selection) {
  ReportCellWait(kColStatus, "Kopierer til CNC");
  ReportCellWait(kColMelding, "");
  bool hasDir = selection.find_first_of("\\/") != std::string::npos;
  std::string pcDir = hasDir ? JoinOrAbsolute(Keys.katalog, DirOf(selection)) : Keys.katalog;
  std::string s = FileNameOf(selection);
  std::string ctl = ControlDirFor(selection);
  if (!DirExists(pcDir)) return FailCopy(*this, Cycle, "Katalog eksisterer ikke: " + pcDir);
  if (!ForceDirectories(ctl))
    return FailCopy(*this, Cycle, "CNC-katalog kan ikke opprettes: " + ctl);
  std::string error;
  if (Mazak) {
    std::string hd = ctl + std::string(kHardDiskDir);
    if (DirExists(hd))
      DeleteAllFiles(hd, error);
    else
      ForceDirectories(hd);
  } else if (Slett) {
    DeleteAllFiles(ctl, error);
  }
  std::vector<CopyPair> pairs;
  for (const std::string& name : RegularFiles(pcDir, SetMainMask(s)))
    pairs.push_back(ToControl(pcDir, ctl, name, name));
  std::string memberMask = SetMemberMask(s, Separator);
  if (!memberMask.empty())
    for (const std::string& name : RegularFiles(pcDir, memberMask))
      if (auto controlName = SetMemberControlName(name, s, Separator))
        pairs.push_back(ToControl(pcDir, ctl, name, *controlName));
  CopyFiles(*this, Cycle, pairs);
  ReportDirCopyEnd(*this, Cycle, pcDir, "Kopiert til CNC", "Kopiering til CNC feilet");
}

void TWinTool::FetchProgramSet(const std::string& selection) {
  ReportCellWait(kColStatus, "Kopierer fra CNC");
  ReportCellWait(kColMelding, "");
  std::string s = StripExt(FileNameOf(selection));
  std::string src = ControlDirFor(selection) + (Mazak ? std::string(kHardDiskDir) : "");
  std::string dst = WithTrailingSep(Keys.katalog2);
  if (!DirExists(src)) return FailCopy(*this, Cycle, "CNC-Katalog eksisterer ikke: " + src);
  if (!ForceDirectories(dst)) return FailCopy(*this, Cycle, "Katalog kan ikke opprettes: " + dst);
  std::vector<std::string> names = RegularFiles(src);
  std::string error;
  // The set's old files give way to the fetched ones; other programs in the
  // directory are not the fetch's to delete, and nothing goes while the
  // control has nothing to give.
  if (!names.empty()) {
    for (const std::string& old : RegularFiles(dst, SetMainMask(s))) RemoveFile(dst + old, error);
    for (const std::string& old : RegularFiles(dst, SetMemberMask(s, Separator)))
      RemoveFile(dst + old, error);
  }
  std::vector<CopyPair> copied;
  for (const std::string& name : names) {
    CopyPair p{JoinPath(src, name), JoinPath(dst, SetMemberPcName(name, s, Separator)), name};
    int before = Cycle.count;
    CopyFiles(*this, Cycle, {p});
    if (Cycle.count > before) copied.push_back(p);
  }
  // Only files that reached the PC are removed from the control.
  for (const CopyPair& p : copied) RemoveFile(p.src, error);
  ReportDirCopyEnd(*this, Cycle, src, "Kopiert fra CNC", "Kopiering fra CNC feilet");
}

void TWinTool::CopyFileToControl(const std::string& selection) {
  ReportCellWait(kColStatus, "Kopierer til CNC");
  std::string src = JoinOrAbsolute(Keys.katalog, WithDefaultExt(selection, Ext));
  std::string name = FileNameOf(src);
  CopyFiles(*this, Cycle, {ToControl(DirOf(src), ControlDirFor(selection), name, name)});
  ReportCellWait(kColStatus, Cycle.error.empty() ? "Kopiert til CNC" : "Kopiering til CNC feilet");
}

void TWinTool::CopyFileFromControl(const std::string& selection) {
  ReportCellWait(kColStatus, "Kopierer fra CNC");
  std::string name = FileNameOf(WithDefaultExt(selection, Ext));
  Placement p = PlaceOnControl(name, Mazak);
  std::string src = JoinPath(ControlDirFor(selection) + p.subdir, p.name);
  if (!FileExists(src)) return FailCopy(*this, Cycle, "Fil eksisterer ikke: " + src);
  std::string pc = JoinOrAbsolute(Keys.katalog2, WithDefaultExt(selection, Ext));
  std::string error;
  if (!BackupFile(pc, Backupfiles, BackupKatalog, error)) return FailCopy(*this, Cycle, error);
  CopyFiles(*this, Cycle, {{src, pc, name}});
  ReportCellWait(kColStatus, Cycle.error.empty() ? "Kopiert fra CNC" : "Kopiering fra CNC feilet");
}

void TWinTool::DeleteOnControl(const std::string& selection) {
  ReportCellWait(kColStatus, "Sletter");
  bool c = ConnectFor(*this, Keys.net, "Pålogget for sletting", "Sletting, pålogging feilet");
  ReportCellWait(kColStatus, "Sletter katalog");
  ReportCellWait(kColMelding, "");
  std::string dir = ControlDirFor(selection) + (Mazak ? std::string(kHardDiskDir) : "");
  std::string error;
  bool ok = DirExists(dir) ? DeleteAllFiles(dir, error) : ForceDirectories(dir);
  if (!ok && error.empty()) error = "CNC-katalog kan ikke opprettes: " + dir;
  // A delete that left files behind is not reported as done.
  ReportCellWait(kColMelding, error);
  ReportCellWait(kColStatus, ok ? L1("Sletting utført") : std::string("Sletting feilet"));
  if (c) Keys.net.Disconnect();
  Request.ResultState = ok ? 1 : 0;
  SyncStoreResult();
}

void TWinTool::CollectMeasurements() {
  if (CNCMaaleKatalog.empty() || PCMaaleKatalog.empty()) return;
  bool c = !Keys.net.share.empty() && Keys.net.Connect();
  std::vector<std::string> files = RegularFiles(CNCMaaleKatalog, "*.txt");
  if (!files.empty()) {
    ReportCellWait(kColStatus, L1("Overfører målefiler"));
    ForceDirectories(PCMaaleKatalog);
    for (const std::string& name : files) {
      ReportCellWait(kColMelding, "Kopierer " + name);
      std::string src = JoinPath(CNCMaaleKatalog, name), error;
      uint64_t bytes = 0;
      if (SafeCopyFile(src, JoinPath(PCMaaleKatalog, name), error, &bytes) &&
          RemoveFile(src, error)) {
        ReportCellWait(kColMelding, name + L1(" overført"));
        SetCharCount(true, static_cast<int>(bytes));
      } else {
        ReportCellWait(kColMelding, error);
      }
    }
    ReportCellWait(kColStatus, L1("Målefiler overført"));
  }
  if (c) Keys.net.Disconnect();
}

}  // namespace zova
