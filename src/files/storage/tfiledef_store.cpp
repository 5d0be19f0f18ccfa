// Storing a reception. The new program is written in full beside its target
// before anything old is touched; the previous version is then kept (".Bak"
// and the numbered backups by link, so it also stays in place) and the new
// one is renamed over the target in one step.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "core/config/config.h"
#include "core/error_text.h"
#include "core/globals.h"
#include "core/latin1.h"
#include "core/model/station_model.h"
#include "core/paths.h"
#include "files/convert/convert_file.h"
#include "files/storage/backup_names.h"
#include "files/storage/name_guard.h"
#include "files/storage/normalize.h"
#include "files/storage/safe_file.h"
#include "files/storage/tfiledef.h"

namespace zova {
namespace {

constexpr size_t kChunk = 1 << 18;

// Copies Source into W, normalised or byte for byte.
int Stream(const std::string& source, AtomicWriter& w, bool normalise) {
  int fd = ::open(FsPath(source).c_str(), O_RDONLY);
  if (fd < 0) return errno;
  std::vector<char> buf(kChunk);
  std::string out;
  LineEndNormalizer norm;
  int e = 0;
  for (;;) {
    ssize_t r = ::read(fd, buf.data(), buf.size());
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) e = errno;
    if (r <= 0) break;
    if (!normalise) {
      e = w.Write(buf.data(), static_cast<size_t>(r));
    } else {
      out.clear();
      norm.Feed(buf.data(), static_cast<size_t>(r), out);
      e = w.Write(out.data(), out.size());
    }
    if (e) break;
  }
  ::close(fd);
  return e;
}

std::string RemoveDotDotSegments(std::string s) {
  for (;;) {
    size_t p = s.find("\\..\\");
    if (p == std::string::npos) p = s.find("/../");
    if (p == std::string::npos) return s;
    s.erase(p, 3);
  }
}

}  // namespace

void TFileDef::ShowIoError(const std::string& what, int code) {
  SetCell(kColMelding, what + ", " + ErrorText(code, ErrorContext::Storage));
}

bool TFileDef::NameAllowed(const std::string& path) const {
  return InsideRoots(path, MachineRoots(DataDir, Katalog2, FellesKataloger));
}

void TFileDef::RotateBackups(const std::string& dir, const std::string& base,
                             const std::string& target) {
  const std::string bak = base + ".Bak";
  const bool haveTarget = FileExists(target);
  if (BackupFiles > 0) {
    const std::string bdir = BackupKatalog.empty() ? dir : BackupKatalog;
    const std::string bbase = FileNameOf(base);
    for (const BackupStep& st : BackupRotation(bdir, bbase, BackupFiles)) {
      if (st.kind == BackupStep::Kind::Delete)
        RemoveFile(st.from);
      else if (FileExists(st.from))
        MoveFile(st.from, st.to);
    }
    const std::string first = NumberedBackupName(bdir, bbase, 1);
    if (BakFiler && FileExists(bak)) {
      bool ok = true;
      MoveOrCopyFile(bak, first, ok, bak);
    } else if (!BakFiler && haveTarget) {
      LinkOrCopy(target, first);
    }
  }
  if (BakFiler && haveTarget) LinkOrCopy(target, bak);
}

int TFileDef::WriteTarget(const std::string& source, const std::string& target, bool append,
                          bool normalise, bool keepBak, const std::string& dir,
                          const std::string& base) {
  AtomicWriter w;
  int e = w.Open(target, append);
  if (e == ENOENT && LagKataloger && ForceDirectories(DirOf(target))) e = w.Open(target, append);
  if (e) {
    ShowIoError("Kopier-rewrite: " + target, e);
    return e;
  }
  if (append && !UtvidEkstra.empty()) e = w.Write(UtvidEkstra.data(), UtvidEkstra.size());
  if (!e) e = Stream(source, w, normalise);
  if (e) {
    ShowIoError("Kopier-reset: " + source, e);
    return e;
  }
  if (!BeforeReplace(target)) return ECANCELED;
  if (keepBak) RotateBackups(dir, base, target);
  return w.Commit();
}

void TFileDef::CopyNormalized(const std::string& source, const std::string& target, bool& ok,
                              bool append, const std::string& logName) {
  const std::string src = RemoveDotDotSegments(source);
  const bool normalise = TekstFormat && !IsSystemFile;
  int e = WriteTarget(src, target, append, normalise, false, "", "");
  ok = e == 0;
  if (ok) {
    LogFileEvent(logName, target);
    return;
  }
  LogEvent(false, "Lagring av " + target + " feilet");
  EmergencyStore(src, logName, normalise);
}

void TFileDef::MoveOrCopyFile(const std::string& source, const std::string& target, bool& ok,
                              const std::string& logName) {
  int e = MoveFile(source, target);
  if (e == ENOENT && LagKataloger && FileExists(source) && ForceDirectories(DirOf(target)))
    e = MoveFile(source, target);
  ok = e == 0;
  if (ok)
    LogFileEvent(logName, target);
  else
    LogEvent(false, "Lagring av " + target + " feilet");
}

void TFileDef::OpenBackupFile(const std::string& logName, std::string& path, bool& ok) {
  std::string dir = ReadIniUpper("Program", "BackupKatalog", Globals().DataKatalog + "BACKUP");
  while (dir.size() > 1 && IsSep(dir.back())) dir.pop_back();
  if (dir.size() < 3 || !ForceDirectories(dir)) {
    dir = DefaultDataRoot() + "Backup";
    if (!ForceDirectories(dir)) dir = HomeDir();
  }
  const int n = NextEmergencyNumber(ListFiles(dir, "Maskin" + std::to_string(MachineNo()) + ".*"),
                                    MachineNo());
  path = EmergencyFileName(dir, MachineNo(), n);
  ok = n < 1000;
  (void)logName;
}

void TFileDef::EmergencyStore(const std::string& source, const std::string& logName,
                              bool normalise) {
  std::string path;
  bool ok = false;
  OpenBackupFile(logName, path, ok);
  if (ok) ok = WriteTarget(source, path, false, normalise, false, "", "") == 0;
  if (ok) {
    SetCell(kColMelding, L1("Lagret i nødlageret: ") + path);
    LogFileEvent(logName, path);
  } else {
    SetCell(kColMelding, L1("Lagring feilet, også i nødlageret: ") + logName);
  }
}

void TFileDef::StoreReceived(bool firstSet, bool extend, bool& ok, int format, bool byteForByte) {
  ok = false;
  bool stale = false;
  std::string cell;
  if (FilNavnNullstill) GetGridFileName(cell, stale);
  if (stale) {
    TransferName = "0000" + Ext;
    SetCell(kColFilnavn, TransferName);
  }
  std::string dir, name = TransferName;
  ResolveDir(firstSet, name, dir);
  if (ExtPos(FileNameOf(name)) == 0) name += firstSet ? Ext : Ext2;
  if (!NameAllowed(dir + name)) {
    SetCell(kColMelding, L1("Ulovlig katalog i filnavn, lagret som 0000") + Ext + ": " + name);
    LogEvent(false, "Ulovlig filnavn " + name);
    name = "0000" + Ext;
    dir = firstSet ? DataDir : Katalog2;
  }
  const std::string target = dir + name;
  const std::string base = StripExt(target);
  if (TransferError) {
    CopyNormalized(TempName, base + ".Gal", ok, false, TransferName);
    SetCell(kColFilnavn, FileNameOf(base) + ".Gal");
    return;
  }
  if (extend && FileExists(target)) {
    CopyNormalized(TempName, target, ok, true, TransferName);
    return;
  }
  std::string source = TempName;
  if (format != 0) {
    const std::string staged = base + ".Kon";
    bool cok = true;
    ConvertFile(format, false, source, cok, Ext, dir, staged);
    if (!cok) source = TempName;  // keep the data as received rather than lose it
  }
  const bool normalise = !byteForByte && source == TempName && TekstFormat && !IsSystemFile;
  int e = WriteTarget(source, target, false, normalise, true, dir, base);
  if (source != TempName) RemoveFile(source);
  ok = e == 0;
  if (ok) {
    LogFileEvent(TransferName, target);
    return;
  }
  LogEvent(false, "Lagring av " + target + " feilet");
  if (e != ECANCELED) EmergencyStore(TempName, TransferName, normalise);
}

}  // namespace zova
