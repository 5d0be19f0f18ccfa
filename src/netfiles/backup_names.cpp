#include "netfiles/backup_names.h"

#include "core/latin1.h"
#include "core/numformat.h"

namespace zova {

std::string FileBackupName(std::string_view base, int k) {
  if (k < 1) return std::string(base) + ".Bak";
  return std::string(base) + "." + IntToStrZero(k, 3);
}

std::string DirBackupName(int k) {
  return "Backup" + std::to_string(k);
}

bool FileBackupApplies(int n, std::string_view backupKatalog, std::string_view filePath) {
  if (n < 1 || backupKatalog.size() <= 2) return false;
  return UpperCase(filePath).find(UpperCase(backupKatalog)) == std::string::npos;
}

bool DirBackupDue(WallTime dirTime, WallTime now) {
  return now - dirTime > std::chrono::minutes(2);
}

}  // namespace zova
