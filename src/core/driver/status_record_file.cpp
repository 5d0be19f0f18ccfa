#include "core/driver/status_record_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "core/latin1.h"
#include "core/paths.h"

namespace zova {

namespace {

// A station path is resolved by looking its components up without regard
// to case, which reads directories; a shop's status record files take up to
// a thousand lines a second, so each file's resolved path is kept. A kept
// path whose file has gone is resolved afresh: another file of the same
// name in other letter case may have taken its place.
class ResolvedPaths {
 public:
  int OpenForAppend(const std::string& path) {
    std::string known;
    {
      std::lock_guard lock(mutex_);
      auto it = paths_.find(path);
      if (it != paths_.end()) known = it->second;
    }
    if (!known.empty()) {
      const int fd = ::open(known.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
      if (fd >= 0 || errno != ENOENT) return fd;
    }
    const std::string fs = FsPath(path);
    const int fd = ::open(fs.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
      std::lock_guard lock(mutex_);
      if (paths_.size() >= 4096) paths_.clear();
      paths_[path] = fs;
    }
    return fd;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, std::string> paths_;
};

ResolvedPaths& Resolved() {
  static ResolvedPaths paths;
  return paths;
}

}  // namespace

StatusRecordFile::~StatusRecordFile() {
  Close();
}

bool StatusRecordFile::Open(const std::string& path) {
  Close();
  fd_ = Resolved().OpenForAppend(path);
  if (fd_ < 0) return false;
  // A file that another program holds counts as busy, as on Windows.
  if (::lockf(fd_, F_TLOCK, 0) != 0) {
    Close();
    return false;
  }
  return true;
}

bool StatusRecordFile::Append(const std::string& line) {
  if (fd_ < 0) return false;
  const std::string text = Latin1ToUtf8(line) + "\r\n";
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool StatusRecordFile::Close() {
  if (fd_ < 0) return true;
  const int rc = ::close(fd_);
  fd_ = -1;
  return rc == 0;
}

std::mutex& StatusRecordWriteLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace zova
