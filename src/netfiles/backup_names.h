#pragma once
// Names and timing of the backups kept before a fetch or an import
// overwrites a program: numbered copies of one file (PROG.001 ..) and
// generations of a directory (Backup1 ..).

#include <string>
#include <string_view>

#include "core/clock.h"

namespace zova {

// The copy number K of a file with base name Base: Base + ".001"; K below 1
// gives Base + ".Bak".
std::string FileBackupName(std::string_view base, int k);
// "Backup" + K.
std::string DirBackupName(int k);

// The file backup rule applies: N >= 1, BackupKatalog longer than two
// characters and not already part of the file's path (compared upper-cased).
bool FileBackupApplies(int n, std::string_view backupKatalog, std::string_view filePath);

// A directory whose time stamp is at most two minutes old was backed up by
// the same burst of files and is not rotated again.
bool DirBackupDue(WallTime dirTime, WallTime now);

}  // namespace zova
