#pragma once
// One append to a status record file. The file is opened, locked against
// other programs, written and closed for every record, so that the shop's
// own programs can read it, and hold it, between records.

#include <mutex>
#include <string>

namespace zova {

class StatusRecordFile {
 public:
  StatusRecordFile() = default;
  ~StatusRecordFile();
  StatusRecordFile(const StatusRecordFile&) = delete;
  StatusRecordFile& operator=(const StatusRecordFile&) = delete;

  // Opens the station path for appending, creating it, and takes an
  // exclusive lock without waiting: false when it cannot be opened or
  // another program holds it.
  bool Open(const std::string& path);
  // Line (Latin-1) and CR LF, in one write.
  bool Append(const std::string& line);
  // False when closing reported an error of an earlier write.
  bool Close();

 private:
  int fd_ = -1;
};

// Held by every writer of status records while it writes a record: several
// machines may write into one file, and a record's gap line must stay next
// to it.
std::mutex& StatusRecordWriteLock();

}  // namespace zova
