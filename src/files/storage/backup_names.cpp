#include "files/storage/backup_names.h"

#include "core/latin1.h"
#include "core/numformat.h"
#include "core/numparse.h"
#include "core/paths.h"

namespace zova {

std::string NumberedBackupName(std::string_view backupDir, std::string_view base, int n) {
  std::string s(backupDir);
  s.append(base);
  s += '.';
  s += IntToStrZero(n, 3);
  return s;
}

std::vector<BackupStep> BackupRotation(std::string_view backupDir, std::string_view base,
                                       int count) {
  std::vector<BackupStep> steps;
  if (count <= 0) return steps;
  steps.push_back({BackupStep::Kind::Delete, NumberedBackupName(backupDir, base, count), ""});
  for (int k = count - 1; k >= 1; --k)
    steps.push_back({BackupStep::Kind::Rename, NumberedBackupName(backupDir, base, k),
                     NumberedBackupName(backupDir, base, k + 1)});
  return steps;
}

int NextEmergencyNumber(const std::vector<std::string>& names, int machineNo) {
  const std::string prefix = "MASKIN" + std::to_string(machineNo) + ".";
  int highest = 0;
  for (const std::string& n : names) {
    if (n.size() != prefix.size() + 3 || !StartsWithNoCase(n, prefix)) continue;
    int v = 0;
    bool digits = true;
    for (size_t i = prefix.size(); i < n.size(); ++i) {
      if (n[i] < '0' || n[i] > '9')
        digits = false;
      else
        v = v * 10 + (n[i] - '0');
    }
    if (digits && v < 999 && v > highest) highest = v;
  }
  return highest + 1;
}

std::string EmergencyFileName(std::string_view dir, int machineNo, int number) {
  return JoinPath(dir, "Maskin" + std::to_string(machineNo) + "." + IntToStrZero(number, 3));
}

std::string RevisionPattern(std::string_view name, std::string_view ext) {
  const int p = ExtPos(name);
  if (p > 0) {
    std::string s(name.substr(0, static_cast<size_t>(p - 1)));
    s += '*';
    s.append(name.substr(static_cast<size_t>(p - 1)));
    return s;
  }
  std::string s(name);
  s += '*';
  s.append(ext);
  return s;
}

int ChooseRevision(int revisjon, const std::vector<RevisionCandidate>& candidates) {
  if (candidates.empty() || revisjon < 1) return -1;
  if (candidates.size() == 1) return 0;
  if (revisjon < 2) return -1;
  int best = 0;
  for (size_t i = 1; i < candidates.size(); ++i)
    if (candidates[i].mtime > candidates[static_cast<size_t>(best)].mtime)
      best = static_cast<int>(i);
  return best;
}

}  // namespace zova
