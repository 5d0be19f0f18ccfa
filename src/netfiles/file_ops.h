#pragma once
// File operations of the network drivers on station paths. Every failure
// gives the error's text for ErrorContext::FileCopy, as the operator sees it
// in Melding.
// A copy never leaves a partial file under the target name and never touches
// its source.

#include <cstdint>
#include <string>
#include <vector>

#include "core/clock.h"

namespace zova {

// Copies Src to Dst, replacing Dst: the data goes to a temporary name beside
// Dst, is flushed to disk and renamed over Dst. On failure the temporary file
// is removed, Dst keeps its old contents, Error gets the text and the result
// is false. Bytes (when given) receives the size copied. The new file is
// writable by its owner whatever the source's mode.
bool SafeCopyFile(const std::string& src, const std::string& dst, std::string& error,
                  uint64_t* bytes = nullptr);
// Moves Src to Dst, replacing Dst: a rename where both lie on one file
// system, else SafeCopyFile and then removal of Src. Src stays when anything
// fails.
bool MoveFileOver(const std::string& src, const std::string& dst, std::string& error,
                  uint64_t* bytes = nullptr);

// The same on file-system paths, for loops over many files of one directory
// whose path was resolved once.
bool MoveFsFileOver(const std::string& fsSrc, const std::string& fsDst, std::string& error,
                    uint64_t* bytes = nullptr);
bool ReadFsFileHead(const std::string& fsPath, size_t max, std::string& data, std::string& error);

// Regular files of Dir, names only, sorted (no directories, devices or FIFOs).
std::vector<std::string> RegularFiles(const std::string& dir, const std::string& mask = "*");
// Deletes every regular file of Dir; the first error text goes to Error.
bool DeleteAllFiles(const std::string& dir, std::string& error);
// Deletes Path and everything below it; true when it is gone.
bool RemoveTree(const std::string& path);
bool RemoveFile(const std::string& path, std::string& error);
bool FileSize(const std::string& path, uint64_t& size);

// Reads up to Max bytes from the start of Path.
bool ReadFileHead(const std::string& path, size_t max, std::string& data, std::string& error);

// Rotates N generations of directory D (D\BackupN deleted, Backup(k-1)
// renamed to Backupk, then every file of D moved into a new Backup1).
bool RotateDirBackups(const std::string& dir, int n, std::string& error);
// The file backup rule: numbered copies of File in BackupKatalog, File
// itself moved to number 1. True when nothing had to be done.
bool BackupFile(const std::string& file, int n, const std::string& backupKatalog,
                std::string& error);
// Rotates D's backups only when D's time stamp is more than two minutes
// older than Now, and then stamps D with Now. True when it rotated.
bool TimedDirBackup(const std::string& dir, int n, WallTime now, std::string& error);
bool DirTime(const std::string& dir, WallTime& t);
bool SetDirTime(const std::string& dir, WallTime t);

}  // namespace zova
