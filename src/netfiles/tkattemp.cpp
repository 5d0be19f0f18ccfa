#include "netfiles/tkattemp.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "core/config/config.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "netfiles/demo_drop.h"
#include "netfiles/file_ops.h"
#include "netfiles/net_messages.h"

namespace zova {

TKatTemp::TKatTemp(const UiLinks& links, MachineRequest& sharedRequest, int machineNo)
    : TLogg(links, sharedRequest, machineNo) {
  const std::string& s = SectionName;
  Katalog = WithTrailingSep(ReadIniUpper(s, "Katalog", DataDir));
  Katalog2 = WithTrailingSep(ReadIniUpper(s, "Katalog2", Katalog));
  UtvKatalog = WithTrailingSep(ReadIniUpper(s, "UtvKatalog", Katalog + "0-INN"));
  UtvKatalog2 = WithTrailingSep(ReadIniUpper(s, "UtvKatalog2", Katalog2 + "0-UT"));
  FeilKatalog = WithTrailingSep(ReadIniUpper(s, "FeilKatalog", Katalog2 + "0-FEIL"));
  Rule = ParseNameRule(ReadIniUpper(s, "FtpFilNavn", ""));
  FtpStartLagre = ReadIniStr(s, "FtpStartLagre", "(", true);
  FtpStoppLagre = ReadIniStr(s, "FtpStoppLagre", ")", true);
  Prefiks = ReadIniStr("Program", "Prefiks", "A-");
  Backupdirs = ReadIniInt(s, "Backupdirs", 0);
  SjekkTid = std::max(1, ReadIniInt(s, "SjekkTid", 10));
  VentTid = std::max(1, ReadIniInt(s, "VentTid", 5));
  DemoFyll = ReadIniInt(s, "DemoFyll", 0);

  SetCellDirect(kColFilnavn, "0000");
  for (const std::string& dir : {UtvKatalog, UtvKatalog2}) {
    if (ForceDirectories(dir)) continue;
    ReportCell(kColStatus, "Katalog eksisterer ikke");
    ReportCell(kColMelding, dir);
  }
  if (DirExists(FeilKatalog)) {
    ReportCell(kColStatus, L1("Feilkatalog må behandles og slettes"));
    ReportCell(kColMelding, FeilKatalog);
  }
}

void TKatTemp::Execute() {
  ReportCellWait(kColStatus, L1("Venter på filer"));
  nextDemoTick_ = TheClock().TickMs() + int64_t{1000} * DemoFyll;
  while (!Terminated()) {
    for (int c = 1; c <= SjekkTid && !Terminated(); ++c) {
      if (!TheClock().Sleep(1000, TerminateFlag())) break;
      // With SjekkTid below 3 an order would never be taken on every third second.
      if (c % 3 == 0 || c == SjekkTid) ServeRequests();
      DemoFill();
    }
    if (Terminated()) break;
    CheckDropDirectory();
  }
  Shutdown();
}

void TKatTemp::Shutdown() {
  ReportCellWait(kColStatus, "Avslutter");
  std::string error;
  DeleteAllFiles(UtvKatalog, error);
  TheClock().Sleep(100, nullptr);
}

void TKatTemp::ServeRequests() {
  if (Terminated()) return;
  SyncFetchRequest();
  if (!Request.Send) return;
  std::string text = PutProgram(Selection(*this));
  PutSharedText(text);
  Request.ResultState = Cycle.error.empty() ? 1 : 0;
  SyncStoreResult();
}

std::string TKatTemp::PutProgram(const std::string& selection) {
  Cycle.Reset();
  ReportCellWait(kColStatus, "Kopierer til CNC");
  ReportCellWait(kColMelding, "");
  std::string src = WithTrailingSep(JoinPath(Katalog, selection));
  if (!DirExists(src)) {
    FailCopy(*this, Cycle, "Katalog eksisterer ikke: " + src);
    return Cycle.error;
  }
  if (!DirExists(UtvKatalog)) {
    FailCopy(*this, Cycle, "Programkatalog eksisterer ikke: " + UtvKatalog);
    return Cycle.error;
  }
  std::vector<CopyPair> pairs;
  for (const std::string& name : RegularFiles(src))
    pairs.push_back({JoinPath(src, name), JoinPath(UtvKatalog, name), name});
  CopyFiles(*this, Cycle, pairs);
  ReportDirCopyEnd(*this, Cycle, src, "Kopiert til CNC", "Kopiering til CNC feilet");
  if (Cycle.count == 0 && Cycle.error.empty()) Cycle.error = netmsg::NoFilesFrom(src);
  if (!Cycle.error.empty()) return Cycle.error;
  return netmsg::CountText(Cycle.count, "1 fil kan nå overføres til styringen",
                           " filer kan nå overføres til styringen");
}

DropSnapshot TKatTemp::TakeDropSnapshot() {
  DropSnapshot s;
  std::string dir = FsPath(UtvKatalog2);
  for (const std::string& name : RegularFiles(UtvKatalog2)) {
    if (!IsImportable(name)) continue;
    if (CountsAsDropFile(name)) ++s.count;
    struct stat st;
    if (::stat((WithTrailingSep(dir) + name).c_str(), &st) != 0) continue;
    s.bytes += static_cast<uint64_t>(st.st_size);
    int64_t ns = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
    s.newestMtimeNs = std::max(s.newestMtimeNs, ns);
  }
  return s;
}

void TKatTemp::CheckDropDirectory() {
  std::vector<std::string> names = RegularFiles(UtvKatalog2);
  if (std::none_of(names.begin(), names.end(),
                   [](const std::string& n) { return IsImportable(n); }))
    return;
  ReportCell(kColStatus, "Nye filer ankommet");
  ReportCell(kColMelding, "");
  SettleTracker settle(VentTid);
  while (!Terminated() && !settle.Add(TakeDropSnapshot())) TheClock().Sleep(1000, TerminateFlag());
  if (!Terminated()) ImportDropDirectory();
}

bool TKatTemp::ReadHead(const std::string& fsPath, std::string& data, std::string& error) {
  return ReadFsFileHead(fsPath, kNameHeadBytes, data, error);
}

NameResult TKatTemp::NameOf(const std::string& fsDrop, const std::string& name) {
  std::string data, error;
  if (!ReadHead(fsDrop + name, data, error)) return UnreadableName(Prefiks, error);
  NameInput in{data, name, Prefiks, FtpStartLagre, FtpStoppLagre};
  return FindProgramName(Rule, in);
}

std::string TKatTemp::ShownDir(const std::string& dir) const {
  std::string base = UpperCase(WithTrailingSep(Katalog2));
  std::string d = UpperCase(dir);
  std::string shown = dir;
  if (d.size() > base.size() && d.compare(0, base.size(), base) == 0)
    shown = dir.substr(base.size());
  while (shown.size() > 1 && IsSep(shown.back())) shown.pop_back();
  return shown;
}

// Makes a target directory ready for new files; one that cannot be created
// sends its files to FeilKatalog.
void TKatTemp::PrepareTarget(const std::string& dir, std::vector<std::string>& targets) {
  ReportCell(kColFilnavn, ShownDir(dir));
  std::string error;
  // Files waiting in FeilKatalog are the operator's to treat: never emptied here.
  if (UpperCase(dir) == UpperCase(FeilKatalog)) {
    if (!DirExists(dir) && !ForceDirectories(dir)) ReportCellWait(kColMelding, "Ugyldig katalog");
    return;
  }
  if (DirExists(dir)) {
    if (Backupdirs >= 1) {
      ReportCellWait(kColMelding, "Tar backup");
      TimedDirBackup(dir, Backupdirs, TheClock().Now(), error);
    } else {
      ReportCellWait(kColMelding, "Sletter katalog");
      DeleteAllFiles(dir, error);
    }
    return;
  }
  if (ForceDirectories(dir)) {
    ReportCellWait(kColMelding, "Opprettet katalog");
    return;
  }
  ReportCellWait(kColMelding, "Ugyldig katalog");
  RotateDirBackups(FeilKatalog, 9, error);
  ForceDirectories(FeilKatalog);
  for (std::string& t : targets)
    if (t == dir) t = FeilKatalog;
}

void TKatTemp::ImportDropDirectory() {
  Cycle.Reset();
  ReportCellWait(kColStatus, "Kopierer fra CNC");
  ReportCellWait(kColMelding, "");
  if (!DirExists(UtvKatalog2)) {
    FailCopy(*this, Cycle, "CNC-Katalog eksisterer ikke: " + UtvKatalog2);
    return;
  }
  std::vector<std::string> files, targets, distinct;
  std::string fsDrop = WithTrailingSep(FsPath(UtvKatalog2));
  for (const std::string& name : RegularFiles(fsDrop)) {
    if (!IsImportable(name)) continue;
    NameResult r = NameOf(fsDrop, name);
    std::string target = r.ok ? WithTrailingSep(JoinPath(Katalog2, r.name)) : FeilKatalog;
    if (!r.error.empty()) ReportCellWait(kColMelding, r.error);
    files.push_back(name);
    targets.push_back(target);
    if (std::find(distinct.begin(), distinct.end(), target) == distinct.end())
      distinct.push_back(target);
  }
  for (const std::string& dir : distinct) PrepareTarget(dir, targets);
  // Each directory is looked up once, not once per file.
  std::map<std::string, std::string> fsDirs;
  for (const std::string& t : targets)
    if (!fsDirs.count(t)) fsDirs[t] = WithTrailingSep(FsPath(t));
  for (size_t i = 0; i < files.size(); ++i) {
    // Without the reporting pause: a burst of thousands of files would
    // otherwise take minutes to sort.
    ReportCell(kColMelding, "Kopierer " + files[i]);
    std::string error;
    uint64_t bytes = 0;
    if (MoveFsFileOver(fsDrop + files[i], fsDirs[targets[i]] + files[i], error, &bytes)) {
      ++Cycle.count;
      Cycle.bytes += bytes;
    } else {
      Cycle.error = error;
    }
  }
  // The files just written stamp each directory as the file system would,
  // but on the station's clock, which the two-minute rule compares with.
  for (const std::string& dir : distinct) SetDirTime(dir, TheClock().Now());
  ReportCellWait(kColMelding, Cycle.error);
  bool good = Cycle.error.empty() && Cycle.count > 0;
  ReportCellWait(kColStatus, good ? std::to_string(Cycle.count) + " filer kopiert fra CNC"
                                  : "Kopiering fra CNC feilet");
  if (Cycle.count == 0 && Cycle.error.empty())
    ReportCellWait(kColMelding, netmsg::NoFilesFrom(UtvKatalog2));
}

void TKatTemp::DemoFill() {
  if (DemoFyll <= 0 || TheClock().TickMs() < nextDemoTick_) return;
  nextDemoTick_ = TheClock().TickMs() + int64_t{1000} * DemoFyll;
  DemoDrop d = DemoDropProgram(demoCount_++);
  // Written under a hidden name first, as an FTP server does, so only whole
  // files appear.
  std::string tmp = FsPath(JoinPath(UtvKatalog2, "." + d.name));
  std::ofstream(tmp, std::ios::binary | std::ios::trunc) << d.data;
  std::string error;
  MoveFileOver(tmp, JoinPath(UtvKatalog2, d.name), error);
}

}  // namespace zova
