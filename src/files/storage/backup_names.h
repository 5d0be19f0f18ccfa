#pragma once
// Naming rules of stored programs: numbered backups and their rotation, the
// emergency store's running numbers, and revision names.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zova {

// BackupDir + Base + "." + the number in three digits.
std::string NumberedBackupName(std::string_view backupDir, std::string_view base, int n);

// One step of making room for a new backup number 1, in the order to run:
// delete number N, then rename N-1 -> N, ..., 1 -> 2.
struct BackupStep {
  enum class Kind { Delete, Rename } kind;
  std::string from;  // the file deleted, or the source of the rename
  std::string to;    // empty for Kind::Delete
};
std::vector<BackupStep> BackupRotation(std::string_view backupDir, std::string_view base,
                                       int count);

// The next number of an emergency file "Maskin<no>.<nnn>" given the names in
// its directory: one above the highest number below 999; 1 when there is none.
int NextEmergencyNumber(const std::vector<std::string>& names, int machineNo);
std::string EmergencyFileName(std::string_view dir, int machineNo, int number);

// The revision pattern of Name: "*" before its extension, or Name + "*" +
// Ext when it has none.
std::string RevisionPattern(std::string_view name, std::string_view ext);

struct RevisionCandidate {
  std::string name;
  int64_t mtime = 0;  // seconds
};
// Revisjon 1: the only candidate; Revisjon 2: the newest (the first in list
// order among equals). Index into Candidates, or -1.
int ChooseRevision(int revisjon, const std::vector<RevisionCandidate>& candidates);

}  // namespace zova
