#pragma once
// A private-profile file on disk, shared by every thread and process.
//
// Read: sees every earlier write of this or another process. The parsed text
// is cached and parsed again when the file's identity, size or modification
// time changes (one stat per read).
// Write: under an exclusive lock on "<file>.lock", the file is read fresh,
// one line is changed, and the result replaces the file through a temporary
// file and an atomic rename, so a reader never sees half a file and two
// writers never lose each other's keys. The file keeps the encoding it was
// read in (UTF-8 when it is valid UTF-8, else Latin-1).

#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/profile_text.h"

namespace zova {

class ProfileFile {
 public:
  explicit ProfileFile(std::string path);  // path on the file system

  // Section, key and result are Latin-1. Nullopt when the key or the file is missing.
  std::optional<std::string> Read(std::string_view section, std::string_view key);
  bool HasSection(std::string_view section);
  std::vector<std::string> KeysOf(std::string_view section);
  // False when the file cannot be written (the reason is in errno).
  bool Write(std::string_view section, std::string_view key, std::string_view value);
  bool Exists();

  const std::string& Path() const { return path_; }

 private:
  struct Stamp {
    unsigned long long dev = 0, ino = 0;
    long long size = -1, mtimeNs = 0;
    bool operator==(const Stamp&) const = default;
  };
  struct Snapshot {
    Stamp stamp;
    ProfileText text;
  };
  std::shared_ptr<const Snapshot> Current();
  static bool StatFile(const std::string& path, Stamp& stamp);
  static std::shared_ptr<Snapshot> Load(const std::string& path, const Stamp& stamp,
                                        bool* utf8 = nullptr);

  std::string path_;
  std::shared_mutex mutex_;
  std::shared_ptr<const Snapshot> snapshot_;
  std::mutex writeMutex_;  // writers of this process; the file lock covers the others
};

// The one ProfileFile object per path in this process.
ProfileFile& ProfileAt(const std::string& fsPath);

}  // namespace zova
